#!/usr/bin/env bash
# The program in KDE Plasma 5 on X11 (kded5, kwin_x11, plasmashell), run as
# an unprivileged user: its icon docks in Plasma's system tray as a
# StatusNotifierItem and shows the tooltip and the load (idle, then two busy
# cores); a right click gives Plasma's own menu with the eight items, no
# menu of the program's, and a switch toggled there holds; a double click
# (two activations) opens the settings dialog once, in front with the
# focus; the icon comes back after plasmashell and after kded5 restart; a
# second start brings the covered dialog to the front, and the About box
# asked for over the bus while another window has the focus opens in front;
# the bus's quit ends
# the program with exit code 0 and saves the switch. Then, with a warning
# every 8 seconds, a bubble that Plasma has closed (it expired) is followed
# by a new bubble, not by a call that names the closed one.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"
rerun_unprivileged "$VANTREL_BIN"

app_call() {
  gdbus call --session --dest org.vantrel.Vantrel --object-path /org/vantrel/Vantrel \
    --method "org.freedesktop.Application.$1" "${@:2}" >/dev/null
}

# The system tray's part of the panel along the bottom of the screen.
TRAY_AREA=(700 720 324 48)
icon_spot() { meter_spot "${TRAY_AREA[@]}"; }
icon_docked() { icon_spot >/dev/null; }
icon_pixmaps() { sni_item_property IconPixmap | tail -n +2 | md5sum; }
icon_changed() { [ "$(icon_pixmaps)" != "$1" ]; }
tooltip_total() { sni_item_property ToolTip | sed -n 's/.*"Vantrel \[ \([0-9]*\)% \]".*/\1/p'; }
has_reading() { [ -n "$(tooltip_total)" ]; }
click_tray_icon() {
  local spot
  wait_for 20 "the icon in Plasma's tray" icon_docked
  spot=$(icon_spot)
  xdotool mousemove ${spot% *} ${spot#* } click "$@"
}
settings_windows() { xdotool search --onlyvisible --name '^設定$' 2>/dev/null | wc -l; }
one_settings_in_front() { [ "$(settings_windows)" -eq 1 ] && active_is 設定; }

start_plasma
install_program
write_settings allinfoenable=0 eachenable=0 intervalsec=1
start_program
wait_for 30 "the item to register" sni_item_registered
wait_for 30 "the icon in Plasma's tray" icon_docked

# The tooltip, which Plasma shows on hovering, and the load on the icon.
wait_for 30 "a reading" has_reading
spot=$(icon_spot)
xdotool mousemove ${spot% *} ${spot#* }
wait_for 20 "Plasma's tooltip" plasma_shows TOOLTIP
idle=$(icon_pixmaps) idleTotal=$(tooltip_total)
for _ in 1 2; do
  (while :; do :; done) &
  E2E_PIDS+=($!)
done
if [ "$idleTotal" -lt 90 ]; then
  wait_for 30 "the icon to show the busy cores" icon_changed "$idle"
else
  echo "note: the machine is at $idleTotal % without the test's load; idle and busy pictures not compared"
fi
kill "${E2E_PIDS[@]: -2}"

# A right click: Plasma's menu of the exported items, none of the program's.
click_tray_icon 3
wait_for 20 "Plasma's menu" plasma_shows POPUP_MENU
menu_closed || fail "the program showed a menu of its own"
menu=$(exported_menu)
[ "$menu" = "設定|-|全体警告　有効/無効+|全体お知らせ　有効/無効|個別警告　有効/無効|-|バージョン情報|終了" ] ||
  fail "the menu is '$menu'"
# The first item, then past the separator the overall warning's switch.
xdotool key --delay 150 Down Down Return
wait_for 20 "the switch to turn off" eval '[[ $(exported_menu) == "設定|-|全体警告　有効/無効|"* ]]'

# A double click is two activations in Plasma: one settings dialog, in front.
click_tray_icon --repeat 2 --delay 150 1
wait_for 20 "the settings dialog in front" one_settings_in_front
menu_closed || fail "the program showed a menu of its own"

# Plasma's shell and the watcher restart; the icon comes back each time.
kill "$E2E_PLASMA_PID"
wait_for 20 "the tray to go" eval '! icon_docked'
start_plasmashell
wait_for 30 "the icon after plasmashell's restart" icon_docked
kill "$E2E_KDED_PID"
wait_for 20 "the watcher to go" eval '! bus_has_name org.kde.StatusNotifierWatcher'
start_kded
wait_for 30 "the item after kded5's restart" sni_item_registered
wait_for 30 "the icon after kded5's restart" icon_docked

# A second start, with the settings dialog covered by another window.
xmessage -geometry 900x700+0+0 cover >/dev/null 2>&1 &
cover=$!
E2E_PIDS+=($!)
wait_for 20 "the covering window" active_is xmessage
status=0
timeout 30 env DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" "$E2E_DIR/vantrel" >/dev/null 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the second start ended with exit code $status"
wait_for 20 "the settings dialog in front" one_settings_in_front

# The About box asked for over the bus (from a terminal, say) while the user
# works in another window opens in front, with the focus.
xdotool mousemove 880 650 click 1
wait_for 20 "the covering window in front" active_is xmessage
app_call ActivateAction about '[]' '{}'
wait_for 20 "the About box in front" active_is バージョン情報
xdotool key Return
wait_for 20 "the About box to close" dialog_gone バージョン情報
kill "$cover"
# Away from where Plasma shows its bubbles: a pointer over one holds it.
xdotool mousemove 10 10

app_call ActivateAction quit '[]' '{}'
expect_clean_exit 30
[ "$(setting allenable)" = 0 ] || fail "allenable is '$(setting allenable)', expected 0"

# Bubbles every 8 seconds: Plasma closes each one after a few seconds.
dbus-monitor --session "interface='org.freedesktop.Notifications'" >"$E2E_DIR/notifications" 2>&1 &
E2E_PIDS+=($!)
write_settings allusage=1 allinfoenable=0 eachenable=0 intervalsec=8
start_program
# The replaces_id of each Notify, and each closed bubble, a line each.
notification_events() {
  awk '/member=Notify/ { notify = 1; n = 0; next }
       /member=NotificationClosed/ { closed = 1; next }
       notify && /uint32/ { print "notify", $2; notify = 0 }
       closed && /uint32/ { print "closed", $2; closed = 0 }' "$E2E_DIR/notifications"
}
closed_then_notified() { notification_events | awk '$1 == "closed" { c = 1 } c && $1 == "notify" { f = 1 } END { exit !f }'; }
wait_for 60 "a bubble after one that Plasma closed" closed_then_notified
after=$(notification_events | awk '$1 == "closed" { c = 1; next } c && $1 == "notify" { print $2; exit }')
[ "$after" = 0 ] || fail "the balloon after a closed bubble named bubble $after"
wait_for 20 "the new bubble on screen" plasma_shows NOTIFICATION
kill -TERM "$VANTREL_PID"
expect_clean_exit 30
echo "PASS"
