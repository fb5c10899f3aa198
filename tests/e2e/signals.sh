#!/usr/bin/env bash
# A close from outside: SIGTERM saves the settings (not written before) and
# ends the program with exit code 0. With disptrayicon=0 no icon is shown at
# start.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/usage_log.sh"

start_desktop
install_program
# No balloons, so nothing brings the temporary icon in; the usage log shows
# when a cycle has run.
write_settings disptrayicon=0 allenable=0 allinfoenable=0 eachenable=0 writelogfile=1 intervalsec=1
start_program
wait_for 30 "two monitor cycles" log_has_lines 2
! icon_docked || fail "an icon is shown although disptrayicon is 0"
[ "$(wc -l <"$E2E_DIR/Vantrel.ini")" -eq 7 ] || fail "Vantrel.ini was written before the close"

kill -TERM "$VANTREL_PID"
expect_clean_exit 30
[ "$(wc -l <"$E2E_DIR/Vantrel.ini")" -eq 21 ] || fail "Vantrel.ini does not have 21 lines"
[ "$(setting disptrayicon)" = 0 ] || fail "disptrayicon not kept"
[ "$(setting writelogfile)" = 1 ] || fail "writelogfile not kept"
echo "PASS"
