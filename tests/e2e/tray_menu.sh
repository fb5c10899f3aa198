#!/usr/bin/env bash
# The tray icon and its menu on a real X server with a real notification
# area: the icon docks, a right click opens the menu, the overall-warning
# toggle chosen from it is saved, and Exit ends the program with exit code 0,
# leaving the whole settings file, byte for byte as a save writes it.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"

start_desktop
install_program
start_program
wait_for 30 "the icon to dock" icon_docked

# A right click opens the menu; Down, Down: past "設定" to "全体警告　有効/無効".
choose_menu_item 2
# Six times Down: "終了".
choose_menu_item 6
expect_clean_exit 30

cmp <(saved_defaults 0 | sed 's/$/\r/') "$E2E_DIR/Vantrel.ini" ||
  fail "Vantrel.ini is not the 21 lines expected: $(cat "$E2E_DIR/Vantrel.ini")"
echo "PASS"
