#!/usr/bin/env bash
# The settings dialog on a real X server: a double-click on the icon opens
# it, and a new interval committed with OK changes the spacing of the usage
# log's lines at once. Exit chosen from the menu while the dialog is open
# ends the program without taking what was typed into it.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"

LOG="$E2E_DIR/cpuusagelog.txt"

log_lines() { if [ -f "$LOG" ]; then wc -l <"$LOG"; else echo 0; fi; }
log_has_lines() { [ "$(log_lines)" -ge "$1" ]; }

# The mean spacing in seconds of the lines FIRST to LAST (1-based), times 100.
mean_gap_x100() {
  sed -n "$1p;$2p" "$LOG" | awk -v n=$(($2 - $1)) '
    { split($2, t, ":"); s[NR] = t[1] * 3600 + t[2] * 60 + t[3] }
    END { print int((s[2] - s[1]) * 100 / n) }'
}

start_desktop
install_program
write_settings intervalsec=1 writelogfile=1 allenable=0 allinfoenable=0 eachenable=0
start_program
wait_for 30 "the icon to dock" icon_docked
wait_for 30 "four log lines" log_has_lines 4
before=$(mean_gap_x100 1 4)

click_icon 1 2
wait_for 20 "the settings dialog" dialog_shown "設定"
focus_dialog "設定"
# The focus starts in the warning threshold; seven Tabs reach the interval.
xdotool key --delay 30 Tab Tab Tab Tab Tab Tab Tab ctrl+a 2 Return
wait_for 20 "the settings dialog to close" dialog_gone "設定"

# A cycle that began before OK may still add its line: skip one.
first=$(($(log_lines) + 2))
wait_for 40 "four lines at the new interval" log_has_lines $((first + 3))
after=$(mean_gap_x100 "$first" $((first + 3)))
echo "mean spacing before: ${before}/100 s, after: ${after}/100 s"
[ "$before" -lt 160 ] || fail "lines were not about 1 s apart before"
[ "$after" -ge 160 ] || fail "lines are not 2 s apart after OK"

click_icon 1 2
wait_for 20 "the settings dialog" dialog_shown "設定"
focus_dialog "設定"
xdotool type --delay 30 42 # replaces the selected warning threshold
choose_menu_item 6
expect_clean_exit 30
[ "$(setting intervalsec)" = 2 ] || fail "intervalsec is '$(setting intervalsec)', expected 2"
[ "$(setting allusage)" = 95 ] || fail "allusage is '$(setting allusage)': the open dialog's field was taken"
echo "PASS"
