#!/usr/bin/env bash
# The program on a real Wayland desktop, on Qt's own wayland platform: sway
# (headless) with waybar's tray as the StatusNotifierItem host and mako as the
# notification service, on a session bus of the test's own. sway refuses to
# run as root: run as root, the test runs as the unprivileged user nobody.
#
# The icon registers and shows the load: its pictures change when two cores
# get busy, and with allusage=1 the bar shows the warning colour. A left
# click in the bar, and two more (the host's Activate), open the settings
# dialog once and never a menu window; 設定 and バージョン情報 chosen from the menu that the
# host draws (the exported one) open the dialog and the About box as windows
# of their own; the overall-warning switch toggled there is saved when Exit,
# chosen there too, ends the program with exit code 0.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"
# The pointer for a real click on waybar's tray (sway headless has none).
CLICK=$(dirname "$0")/../../scripts/wayland_click.py
[ -f "$CLICK" ] || CLICK=$(dirname "$0")/wayland_click.py
rerun_unprivileged "$VANTREL_BIN" "$CLICK"

# The program's windows that sway manages (each carries the program's
# process id), and their names.
program_windows() { swaymsg -t get_tree | grep -c "\"pid\": $VANTREL_PID\\b" || true; }
window_named() { swaymsg -t get_tree | grep -q "\"name\": \"$1\""; }
only_settings_shown() { [ "$(program_windows)" -eq 1 ] && window_named 設定; }
no_program_window() { [ "$(program_windows)" -eq 0 ]; }
close_program_windows() { swaymsg "[pid=$VANTREL_PID] kill" >/dev/null; }

# The item's pictures, without the reply's header.
icon_pixmaps() { sni_item_property IconPixmap | tail -n +2 | md5sum; }
icon_changed() { [ "$(icon_pixmaps)" != "$1" ]; }
# The total that the tooltip shows; empty before the first reading.
tooltip_total() { sni_item_property ToolTip | sed -n 's/.*"Vantrel \[ \([0-9]*\)% \]".*/\1/p'; }
has_reading() { [ -n "$(tooltip_total)" ]; }

# The number of pixels of colour R G B in the top right corner of the
# screen, where waybar's tray is.
tray_pixels_of() {
  grim -t ppm -g "974,0 50x30" "$E2E_DIR/tray.ppm"
  tail -c $((50 * 30 * 3)) "$E2E_DIR/tray.ppm" | od -An -v -tu1 | tr -s ' ' '\n' | grep . |
    awk -v r="$1" -v g="$2" -v b="$3" '{ c[NR % 3] = $1 } NR % 3 == 0 && c[1] == r && c[2] == g && c[0] == b { n++ }
                                          END { print n + 0 }'
}
# The meter lit in red, the warning colour, and in neither the green nor the
# yellow of icon 105's own bars.
warning_in_tray() {
  [ "$(tray_pixels_of 255 0 0)" -gt 0 ] && [ "$(tray_pixels_of 0 255 0)" -eq 0 ] &&
    [ "$(tray_pixels_of 255 255 0)" -eq 0 ]
}

start_session_bus
start_sway
start_waybar
mako >"$E2E_DIR/mako.log" 2>&1 &
E2E_PIDS+=($!)
wait_for 20 "mako" bus_has_name org.freedesktop.Notifications
install_program
write_settings allusage=1 intervalsec=1
export QT_QPA_PLATFORM=wayland
start_program
wait_for 30 "the item to register" sni_item_registered

# The load on the icon: two busy cores change its pictures, unless the
# machine is busy already without them.
wait_for 30 "a reading" has_reading
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
# At or above allusage=1 the meter is lit in the warning colour.
wait_for 20 "the warning colour in the bar" warning_in_tray
kill "${E2E_PIDS[@]: -2}"

# A left click on the icon in the bar opens the settings dialog; two more
# (the host's Activate, as waybar sends it) open no other window.
python3 "$CLICK" 1002 15 1024 768 272 0
wait_for 20 "the settings dialog" only_settings_shown
sni_item_call org.kde.StatusNotifierItem.Activate int32:1000 int32:15 >/dev/null
sni_item_call org.kde.StatusNotifierItem.Activate int32:1000 int32:15 >/dev/null
# A call that the program answers after the clicks' work.
sni_item_property Title >/dev/null
only_settings_shown || fail "a second click opened a window of its own"
close_program_windows
wait_for 20 "the dialog to close" no_program_window

choose_exported 設定
wait_for 20 "the settings dialog from the menu" only_settings_shown
close_program_windows
wait_for 20 "the dialog to close" no_program_window
choose_exported バージョン情報
wait_for 20 "the About box" window_named バージョン情報
close_program_windows
wait_for 20 "the About box to close" no_program_window
choose_exported '全体警告　有効/無効'
choose_exported 終了
expect_clean_exit 30

[ "$(wc -l <"$E2E_DIR/Vantrel.ini")" -eq 21 ] || fail "Vantrel.ini does not have 21 lines"
[ "$(setting allenable)" = 0 ] || fail "allenable is '$(setting allenable)', expected 0"
echo "PASS"
