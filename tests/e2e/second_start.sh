#!/usr/bin/env bash
# One Vantrel per session, on a real X server with trayer and a session bus
# of the test's own: of two copies started at once one runs and the other
# hands over and ends with exit code 0; a later start does the same; each
# hand-over opens the running copy's settings dialog, and neither touches
# the settings file. With the notification area gone, the running copy's
# actions reached over the bus open the settings dialog and the About box
# and end it, and the settings are written then, at the end; a start made
# while it ends waits for it and runs in its place; a first copy started by a
# launcher shows its settings dialog.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"

app_call() {
  gdbus call --session --dest org.vantrel.Vantrel --object-path /org/vantrel/Vantrel \
    --method "org.freedesktop.Application.$1" "${@:2}" >/dev/null
}

# A start while a copy runs: it ends by itself, with exit code 0, and the
# running copy shows its settings dialog, which is closed again.
hand_over_from() {
  local status=$1
  [ "$status" -eq 0 ] || fail "the second start ended with exit code $status"
  wait_for 20 "the settings dialog" dialog_shown "設定"
  cmp -s "$E2E_DIR/Vantrel.ini" "$E2E_DIR/settings-before" || fail "a second start changed Vantrel.ini"
  focus_dialog "設定"
  xdotool key Escape
  wait_for 20 "the settings dialog to close" dialog_gone "設定"
}

start_desktop
start_session_bus
install_program
write_settings allusage=77
cp "$E2E_DIR/Vantrel.ini" "$E2E_DIR/settings-before"

# Two at once: exactly one of them runs.
ended() { ! kill -0 "$1" 2>/dev/null || [ "$(ps -o stat= -p "$1")" = Z ]; }
start_program
first=$VANTREL_PID
start_program
wait_for 30 "one of two starts to end" eval 'ended "$first" || ended "$VANTREL_PID"'
loser=$VANTREL_PID
if ended "$first"; then loser=$first; else VANTREL_PID=$first; fi
status=0
wait "$loser" || status=$?
hand_over_from "$status"
wait_for 30 "the icon to dock" icon_docked

status=0
timeout 30 env DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" XDG_RUNTIME_DIR="$E2E_DIR" \
  "$E2E_DIR/vantrel" >/dev/null 2>&1 || status=$?
hand_over_from "$status"

# Without a notification area the actions still reach the running copy.
kill "$E2E_TRAYER_PID"
wait_for 20 "the icon to leave" eval '! icon_docked'
app_call ActivateAction settings '[]' '{}'
wait_for 20 "the settings dialog" dialog_shown "設定"
app_call ActivateAction about '[]' '{}'
wait_for 20 "the About box" dialog_shown "バージョン情報"
! app_call ActivateAction nothing '[]' '{}' 2>/dev/null || fail "an unknown action was accepted"
# A start while the exit is under way (twice asked for) waits for the copy
# to end, which saves the settings, and then runs in its place.
app_call ActivateAction quit '[]' '{}'
app_call ActivateAction quit '[]' '{}'
ending=$VANTREL_PID
start_program
VANTREL_PID=$ending
expect_clean_exit 30
[ "$(setting allusage)" = 77 ] || fail "allusage is '$(setting allusage)', expected 77"
[ "$(wc -l <"$E2E_DIR/Vantrel.ini")" -eq 21 ] || fail "Vantrel.ini was not written at the end"
VANTREL_PID=${E2E_PIDS[-1]}
wait_for 20 "the new start to own the session" bus_has_name org.vantrel.Vantrel
sleep 1
kill -0 "$VANTREL_PID" 2>/dev/null || fail "the start during the exit ended: $(cat "$E2E_DIR/stderr")"
app_call ActivateAction quit '[]' '{}'
expect_clean_exit 30

# Started by a launcher (a startup id in its environment), a first copy
# shows its settings dialog.
DESKTOP_STARTUP_ID=launcher-1_TIME0 start_program
wait_for 20 "the settings dialog of a launched start" dialog_shown 設定
app_call ActivateAction quit '[]' '{}'
expect_clean_exit 30
echo "PASS"
