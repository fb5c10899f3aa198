#!/usr/bin/env bash
# The terminal presentation: without a display (a QCoreApplication), and on
# a platform without a notification area (offscreen), the tooltip of every
# cycle is printed as a line; SIGINT and SIGTERM save and end with code 0.
# A second copy on the same folder, without a session bus, prints one line
# and ends with code 0, leaving nothing in the folder.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"

second_copy_refused() {
  local before out status=0
  before=$(ls -A "$E2E_DIR")
  out=$(env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$E2E_DIR" timeout 30 "$E2E_DIR/vantrel" 2>&1) || status=$?
  [ "$status" -eq 0 ] || fail "the second copy ended with exit code $status"
  [ "$(wc -l <<<"$out")" -eq 1 ] || fail "the second copy printed '$out'"
  [ "$(ls -A "$E2E_DIR")" = "$before" ] || fail "the second copy left '$(ls -A "$E2E_DIR")'"
}

tooltip_printed() { grep -Eq $'^tooltip\tVantrel \\[ [0-9]+% \\]$' "$E2E_DIR/stdout"; }

run_in_terminal() {
  local platform=$1 signal=$2
  rm -f "$E2E_DIR/Vantrel.ini" "$E2E_DIR/stdout"
  unset DISPLAY WAYLAND_DISPLAY
  if [ -n "$platform" ]; then export QT_QPA_PLATFORM=$platform; else unset QT_QPA_PLATFORM; fi
  start_program
  wait_for 30 "a tooltip line (platform '${platform:-none}')" tooltip_printed
  second_copy_refused
  kill "-$signal" "$VANTREL_PID"
  expect_clean_exit 30
  [ "$(wc -l <"$E2E_DIR/Vantrel.ini")" -eq 21 ] || fail "Vantrel.ini does not have 21 lines"
}

install_program
run_in_terminal "" INT
run_in_terminal offscreen TERM
echo "PASS"
