#!/usr/bin/env bash
# The settings dialog on a real X server: a double-click on the icon opens
# it, and a new interval committed with OK changes the spacing of the usage
# log's lines at once. Exit chosen from the menu while the dialog is open
# ends the program without taking what was typed into it.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/usage_log.sh"

start_desktop
install_program
write_settings intervalsec=1 writelogfile=1 allenable=0 allinfoenable=0 eachenable=0
start_program
wait_for 30 "the icon to dock" icon_docked
measure_spacing_before

click_icon 1 2
wait_for 20 "the settings dialog" dialog_shown "設定"
focus_dialog "設定"
# The focus starts in the warning threshold; seven Tabs reach the interval.
xdotool key --delay 30 Tab Tab Tab Tab Tab Tab Tab ctrl+a 2 Return
wait_for 20 "the settings dialog to close" dialog_gone "設定"

expect_two_second_spacing

click_icon 1 2
wait_for 20 "the settings dialog" dialog_shown "設定"
focus_dialog "設定"
xdotool type --delay 30 42 # replaces the selected warning threshold
choose_menu_item 6
expect_clean_exit 30
[ "$(setting intervalsec)" = 2 ] || fail "intervalsec is '$(setting intervalsec)', expected 2"
[ "$(setting allusage)" = 95 ] || fail "allusage is '$(setting allusage)': the open dialog's field was taken"
echo "PASS"
