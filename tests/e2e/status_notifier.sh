#!/usr/bin/env bash
# The icon as a StatusNotifierItem in a real host, the status tray of
# xfce4-panel: the program registers an item, and again after the panel
# restarts; its balloons reach the notification service (dunst) as one
# bubble, each replacing the last; a right click opens the menu with its
# eight items, which the panel draws; Exit chosen there ends the program with
# exit code 0, keeps the settings and takes the bubble away with the icon.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/usage_log.sh"

no_item() { ! sni_item_registered; }

start_xvfb
start_session_bus
start_dunst
start_xfce_panel
install_program
write_settings allusage=1 allinfoenable=0 eachenable=0 intervalsec=1 writelogfile=1
start_program
wait_for 30 "the item to register" sni_item_registered
sni_item_property Title | grep -q 'string "Vantrel"' || fail "the item's title is not Vantrel"

# A warning at every cycle, through the item to dunst: one bubble.
wait_for 30 "a notification" notifications_are 1
cycles=$(log_lines)
wait_for 30 "five more cycles" log_has_lines $((cycles + 5))
notifications_are 1 || fail "dunst shows $(notifications_shown) notifications, expected 1"

# The panel restarts: the item registers with the new one.
kill "$E2E_PANEL_PID"
wait_for 20 "the item to leave with the panel" no_item
start_xfce_panel
wait_for 30 "the item to register again" sni_item_registered

spot=$(sni_tray_spot) || fail "no status tray to click"
xdotool mousemove ${spot% *} ${spot#* } click 3
wait_for 20 "the panel to open the item's menu" panel_menu_open
menu=$(exported_menu)
[ "$menu" = "設定|-|全体警告　有効/無効+|全体お知らせ　有効/無効|個別警告　有効/無効|-|バージョン情報|終了" ] ||
  fail "the menu is '$menu'"
# Up from the top reaches the last item, "終了".
xdotool key --delay 100 Up Return
expect_clean_exit 30

[ "$(wc -l <"$E2E_DIR/Vantrel.ini")" -eq 21 ] || fail "Vantrel.ini does not have 21 lines"
[ "$(setting allinfoenable)" = 0 ] || fail "allinfoenable is '$(setting allinfoenable)', expected 0"
wait_for 10 "the bubble to leave with the icon" notifications_are 0
echo "PASS"
