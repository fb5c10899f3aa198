#!/usr/bin/env bash
# A notification area that comes after the program, as at login: with a
# display the program shows its icon although there is no notification area
# yet (never the terminal presentation); trayer started three seconds later
# takes it within five seconds, and again after trayer restarts.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"

icon_gone() { ! icon_docked; }

start_xvfb
# A session bus without a StatusNotifierItem watcher, so that Qt takes the
# XEmbed way, as on a desktop whose panel has not started yet.
start_session_bus
install_program
start_program
# The scenario's delay: the notification area starts three seconds after
# the program.
sleep 3
kill -0 "$VANTREL_PID" 2>/dev/null || fail "the program ended"
start_trayer
wait_for 5 "the icon to dock within five seconds" icon_docked
[ ! -s "$E2E_DIR/stdout" ] || fail "the program writes to the terminal: $(head -n1 "$E2E_DIR/stdout")"

kill "$E2E_TRAYER_PID"
wait_for 10 "the icon to leave with trayer" icon_gone
start_trayer
wait_for 10 "the icon to dock again" icon_docked

kill -TERM "$VANTREL_PID"
expect_clean_exit 30
[ "$(wc -l <"$E2E_DIR/Vantrel.ini")" -eq 21 ] || fail "Vantrel.ini does not have 21 lines"
echo "PASS"
