#!/usr/bin/env bash
# The About box on a real X server: it opens from the menu, shows its text
# with the version, exactly (read back through the clipboard: Ctrl+C copies
# a dialog's texts), and closes with Enter (its OK).
VANTREL_BIN=$1
CLIPBOARD_TOOL=$2
source "$(dirname "$0")/lib.sh"

clipboard() { ASAN_OPTIONS=detect_leaks=0 "$CLIPBOARD_TOOL"; }

start_desktop
install_program
start_program
wait_for 30 "the icon to dock" icon_docked

# Five times Down: "バージョン情報".
choose_menu_item 5
wait_for 20 "the About box" dialog_shown "バージョン情報"
focus_dialog "バージョン情報"
xdotool key ctrl+c
text=$(clipboard; echo .)
expected=" Vantrel　ver${VANTREL_VERSION_TEXT:?}"$'\n\n'"Vantrel 開発チーム"$'\n'"Copyright (C) 2026."
[ "$text" = "$expected" ] || fail "About text is '$text'"

xdotool key Return
wait_for 20 "the About box to close" dialog_gone "バージョン情報"
kill -TERM "$VANTREL_PID"
expect_clean_exit 30
echo "PASS"
