#!/usr/bin/env bash
# The terminal presentation: without a display (a QCoreApplication), and on
# a platform without a notification area (offscreen), the tooltip of every
# cycle is printed as a line; SIGINT and SIGTERM save and end with code 0.
VANTREL_BIN=$1
source "$(dirname "$0")/lib.sh"

tooltip_printed() { grep -Eq $'^tooltip\tVantrel \\[ [0-9]+% \\]$' "$E2E_DIR/stdout"; }

run_in_terminal() {
  local platform=$1 signal=$2
  rm -f "$E2E_DIR/Vantrel.ini" "$E2E_DIR/stdout"
  unset DISPLAY WAYLAND_DISPLAY
  if [ -n "$platform" ]; then export QT_QPA_PLATFORM=$platform; else unset QT_QPA_PLATFORM; fi
  start_program
  wait_for 30 "a tooltip line (platform '${platform:-none}')" tooltip_printed
  kill "-$signal" "$VANTREL_PID"
  expect_clean_exit 30
  [ "$(wc -l <"$E2E_DIR/Vantrel.ini")" -eq 21 ] || fail "Vantrel.ini does not have 21 lines"
}

install_program
run_in_terminal "" INT
run_in_terminal offscreen TERM
echo "PASS"
