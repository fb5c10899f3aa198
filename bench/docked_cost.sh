#!/usr/bin/env bash
# Processor time of the program docked, idle, with its default settings: in
# KDE Plasma's system tray (X11) and in GNOME Shell's top bar (Wayland, with
# the AppIndicator extension), each beside a copy in the terminal
# presentation measured over the same time. perf stat counts the task clock
# of every thread of each (the worker of each cycle included) over
# DOCKED_SECONDS (300) after a warm-up of 20 seconds. Run by hand, as root
# or as a user:
#
#   bash bench/docked_cost.sh build/default/vantrel
#
# Prints one line a measurement: where, the processor time, the share of
# one core.
VANTREL_BIN=$1
SECONDS_MEASURED=${DOCKED_SECONDS:-300}

# Each desktop in a run of its own. perf counts the kernel's share of a
# user's own processes only where perf_event_paranoid is 1 or less (else it
# reports task-clock:u); run as root, the script lowers it for the run.
if [ -z "${DOCKED_DESKTOP:-}" ]; then
  paranoid=$(cat /proc/sys/kernel/perf_event_paranoid)
  [ "$(id -u)" -ne 0 ] || [ "$paranoid" -le 1 ] || sysctl -qw kernel.perf_event_paranoid=1
  for desktop in plasma gnome; do DOCKED_DESKTOP=$desktop bash "$0" "$@"; done
  [ "$(id -u)" -ne 0 ] || sysctl -qw kernel.perf_event_paranoid="$paranoid"
  exit 0
fi
# Run again as nobody, the copy finds the copy of the tests' library there.
source "${E2E_LIB:-$(dirname "$0")/../tests/e2e/lib.sh}"
need perf
rerun_unprivileged "$VANTREL_BIN"

# measure NAME PID: the task clock of the process over the measured time.
measure() {
  perf stat -e task-clock -x, -p "$2" -o "$E2E_DIR/$1.perf" sleep "$SECONDS_MEASURED" 2>/dev/null
  awk -F, -v name="$1" -v s="$SECONDS_MEASURED" '$3 ~ /^task-clock/ {
    printf "%s: %.1f ms (%s) in %d s, %.3f %% of one core\n", name, $1, $3, s, $1 / (s * 10) }' "$E2E_DIR/$1.perf"
}

# run_docked NAME: the program in the desktop started, and a terminal copy in
# a folder of its own, measured side by side; then both end.
run_docked() {
  install_program
  start_program
  mkdir -p "$E2E_DIR/terminal"
  cp "$VANTREL_BIN" "$E2E_DIR/terminal/vantrel"
  env -u DISPLAY -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u QT_QPA_PLATFORM \
    "$E2E_DIR/terminal/vantrel" >/dev/null 2>&1 &
  local terminal=$!
  E2E_PIDS+=("$terminal")
  wait_for 30 "the item to register" sni_item_registered
  sleep 20
  measure "$1" "$VANTREL_PID" &
  local docked=$!
  measure "terminal beside $1" "$terminal"
  wait "$docked"
  kill "$VANTREL_PID" "$terminal"
  wait "$VANTREL_PID" "$terminal" 2>/dev/null || true
  rm -f "$E2E_DIR/Vantrel.ini" "$E2E_DIR/terminal/Vantrel.ini"
}

if [ "$DOCKED_DESKTOP" = plasma ]; then
  start_plasma
  run_docked "Plasma's tray"
else
  start_gnome appindicator
  QT_QPA_PLATFORM=wayland run_docked "GNOME's top bar"
fi
