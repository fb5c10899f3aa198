#!/usr/bin/env bash
# Retakes the Wayland pictures in docs/: the icon in waybar's tray at a low,
# a notice and a warning load, and the menu that waybar draws for it on a
# right click; sway (headless, at two device pixels a pixel) with the
# program on Qt's wayland platform. Run as root, it runs as the
# unprivileged user nobody, as the Wayland test does.
#
#   scripts/screenshots-wayland.sh [path/to/vantrel]   (default: build/default/vantrel)
#
# The load shown is the script's own: the program runs in a user and mount
# namespace of its own, where /proc/stat is a file whose counters the script
# advances at the share it chooses, so the pictures do not depend on what
# else the machine does. Needs what the end-to-end tests need.
VANTREL_BIN=$(realpath "${1:-build/default/vantrel}")
HERE=$(dirname "$(realpath "$0")")
export E2E_RESULTS=${E2E_RESULTS:-$(realpath "$HERE/../docs")}
source "${E2E_LIB:-$HERE/../tests/e2e/lib.sh}"
rerun_unprivileged "$VANTREL_BIN" "$HERE/wayland_click.py"
CLICK=${2:-$HERE/wayland_click.py}

# The first line of /proc/stat for two processors, its counters advanced
# every 100 ms (20 jiffies) so that the busy share is the percentage in
# $E2E_DIR/share; rewritten in place, at one length, for the bound file.
feed_load() {
  local busy=0 idle=0 share gained=0 tick=0
  while :; do
    share=$(cat "$E2E_DIR/share")
    tick=$((tick + 1))
    # Busy jiffies so far at the share, to the nearest whole one.
    local due=$(((tick * 20 * share + 50) / 100))
    busy=$((busy + due - gained)) idle=$((idle + 20 - (due - gained))) gained=$due
    printf 'cpu  %012d 0 0 %012d 0 0 0 0 0 0\n' "$busy" "$idle" | dd of="$E2E_DIR/stat" conv=notrunc status=none
    sleep 0.1
  done
}

# set_load PERCENT: the load from now on; waits until the tooltip shows it.
set_load() {
  echo "$1" >"$E2E_DIR/share"
  wait_for 30 "the icon to show $1 %" shows_load "$1"
}
shows_load() { sni_item_property ToolTip | grep -q "\"Vantrel \\[ $1% \\]\""; }

shoot() {
  grim -g "$2" "$E2E_RESULTS/$1.png"
  echo "docs/$1.png"
}

start_session_bus anonymous
start_sway 2
start_waybar
install_program
write_settings intervalsec=1 eachenable=0
echo 0 >"$E2E_DIR/share"
: >"$E2E_DIR/stat"
feed_load &
E2E_PIDS+=($!)
wait_for 10 "the load" test -s "$E2E_DIR/stat"
QT_QPA_PLATFORM=wayland DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR=$E2E_DIR \
  unshare --user --map-root-user --mount sh -c 'mount --bind "$1" /proc/stat && exec "$2"' \
  sh "$E2E_DIR/stat" "$E2E_DIR/vantrel" >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr" &
VANTREL_PID=$!
E2E_PIDS+=($!)
wait_for 30 "the item to register" sni_item_registered

# The right end of the bar, where the tray is.
TRAY="944,0 80x30"
set_load 20
shoot wayland-icon-low "$TRAY"
set_load 85
shoot wayland-icon-notice "$TRAY"
set_load 97
shoot wayland-icon-warning "$TRAY"

set_load 20
python3 "$CLICK" 1002 15 1024 768 273 5 &
E2E_PIDS+=($!)
sleep 3 # the menu opens
shoot wayland-menu "744,0 280x190"
