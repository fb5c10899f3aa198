#!/usr/bin/env bash
# The Windows program's dialogs under Wine: a double-click on the icon opens
# the settings dialog with the focus in the warning threshold, 0 there gives
# the range message, a new interval committed with OK changes the spacing of
# the usage log's lines, which carry the local time; the About box shows its text with the version,
# exactly, with the focus on OK, and closes with Enter; a close asked for by
# another program saves the settings.
#
#   dialogs.sh WINE_PREFIX VANTREL_EXE PROBE
WINE_PREFIX=$1 VANTREL_EXE=$2 PROBE=$3
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/../../e2e/usage_log.sh"

start_wine_desktop
install_windows_program
write_settings intervalsec=1 writelogfile=1 allenable=0 allinfoenable=0 eachenable=0
start_windows_program
wait_for 60 "the icon to dock" wine_icon_docked
measure_spacing_before
# The lines carry the local time, as the system gives it: within a minute
# of this one.
stamp=$(head -n1 "$LOG" | cut -f1)
age=$(($(date +%s) - $(date -d "$stamp" +%s)))
((age >= 0 && age < 60)) || fail "the first log line's time '$stamp' is ${age} s off the local time"

click_wine_icon 1 2
wait_for 20 "the settings dialog" wine_window_shown "設定"
focus=$(probe focus settings)
[ "$focus" = "1667 0 2" ] || fail "focus and selection are '$focus', expected field 1667 with 95 selected"

focus_wine_window "設定"
xdotool key 0 Return # replaces the selected 95
range_shown() { [ "$(probe text range 65535)" = "1～100の間で指定してください" ]; }
wait_for 20 "the range message" range_shown
xdotool key Return
wait_for 20 "the range message to close" eval '! probe text range 65535 >/dev/null'

# Back to 95; seven Tabs reach the interval, whose text Tab selects.
focus_wine_window "設定"
xdotool key --delay 30 BackSpace 9 5 Tab Tab Tab Tab Tab Tab Tab 2 Return
wait_for 20 "the settings dialog to close" wine_window_gone "設定"

expect_two_second_spacing

choose_wine_menu_item 5 # About
wait_for 20 "the About box" wine_window_shown "バージョン情報"
about=$(probe text about 1061)
[ "$about" = " Vantrel　ver${VANTREL_VERSION_TEXT:?}"$'\n\n'"Vantrel 開発チーム"$'\n'"Copyright (C) 2026" ] ||
  fail "the About box reads '$about'"
focus=$(probe focus about)
[ "${focus%% *}" = 1 ] || fail "the About box's focus is on control '${focus%% *}', expected OK (1)"
focus_wine_window "バージョン情報"
xdotool key Return
wait_for 20 "the About box to close" wine_window_gone "バージョン情報"

# Another program asks the program to close (no /f: a request, not a kill).
wine_run taskkill /im vantrel.exe >/dev/null
expect_clean_exit 30
[ "$(setting intervalsec)" = 2 ] || fail "intervalsec is '$(setting intervalsec)', expected 2"
[ "$(setting allusage)" = 95 ] || fail "allusage is '$(setting allusage)', expected 95"
echo PASS
