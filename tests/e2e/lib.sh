# Shared steps of the end-to-end tests, sourced by each of them.
#
# Every test gets its own X server (Xvfb, on a display number it picks
# itself), a real notification area (trayer) and a folder of its own, into
# which the program is copied so that its Vantrel.ini and usage log land
# there. Everything started here is ended on any exit.
#
# Waits are for conditions, with time limits, never for a fixed time: the
# machine may be busy.

set -euo pipefail

E2E_PIDS=()
E2E_DIR=$(mktemp -d /tmp/vantrel-e2e.XXXXXX)
VANTREL_PID=

e2e_cleanup() {
  local status=$?
  local pid
  for pid in "${E2E_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${E2E_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  if [ "$status" -ne 0 ] && [ -f "$E2E_DIR/stderr" ]; then
    echo "--- program's standard error:" >&2
    cat "$E2E_DIR/stderr" >&2
  fi
  rm -rf "$E2E_DIR"
  exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# wait_for SECONDS DESCRIPTION COMMAND...: runs COMMAND every 50 ms until it
# succeeds; fails the test after SECONDS.
wait_for() {
  local limit=$1 what=$2
  shift 2
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.05
  done
}

# Starts Xvfb on a free display and trayer on it; exports DISPLAY.
start_desktop() {
  local fdfile="$E2E_DIR/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
  E2E_PIDS+=($!)
  wait_for 20 "Xvfb to start" test -s "$fdfile"
  export DISPLAY=":$(head -n1 "$fdfile")"
  trayer --edge top --align right --widthtype request --height 24 \
    --transparent false --tint 0xd0d0d0 --SetDockType true >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  xdotool search --sync --limit 1 --classname '^panel$' >/dev/null
}

# Copies the program under test into the test's folder.
install_program() {
  cp "$VANTREL_BIN" "$E2E_DIR/vantrel"
}

# Starts the copy; its output goes to files in the folder.
start_program() {
  env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$E2E_DIR" \
    "$E2E_DIR/vantrel" >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr" &
  VANTREL_PID=$!
  E2E_PIDS+=("$VANTREL_PID")
}

# Waits for the program to end and fails unless its exit code is 0.
expect_clean_exit() {
  local limit=$1
  wait_for "$limit" "the program to end" program_ended
  local status=0
  wait "$VANTREL_PID" || status=$?
  [ "$status" -eq 0 ] || fail "exit code $status, expected 0"
}

program_ended() {
  ! kill -0 "$VANTREL_PID" 2>/dev/null || [ "$(ps -o stat= -p "$VANTREL_PID")" = "Z" ]
}

# Writes Vantrel.ini with the given key=value lines in its section.
write_settings() {
  {
    printf '[Base]\r\n'
    local line
    for line in "$@"; do printf '%s\r\n' "$line"; done
  } >"$E2E_DIR/Vantrel.ini"
}

setting() {
  sed -n "s/^$1=\\([^\\r]*\\)\\r\\{0,1\\}\$/\\1/p" "$E2E_DIR/Vantrel.ini"
}

# The program's docked icon: its window inside the notification area.
icon_window() {
  local w info tree
  for w in $(xdotool search --classname '^vantrel$' 2>/dev/null); do
    info=$(xwininfo -id "$w" 2>/dev/null) || continue
    tree=$(xwininfo -tree -id "$w" 2>/dev/null) || continue
    if [[ $info == *"Map State: IsViewable"* && $tree != *"Parent window id: "*"(the root window)"* ]]; then
      echo "$w"
      return 0
    fi
  done
  return 1
}

icon_docked() { icon_window >/dev/null; }

# Clicks the icon: BUTTON 1 or 3, COUNT clicks. Single clicks land on
# alternate corners of the icon, so that two in quick succession are never
# taken for a double-click.
E2E_CLICK_SPOT=5
click_icon() {
  local button=$1 count=${2:-1} w
  w=$(icon_window) || fail "no icon to click"
  E2E_CLICK_SPOT=$((22 - E2E_CLICK_SPOT))
  xdotool mousemove --window "$w" "$E2E_CLICK_SPOT" "$E2E_CLICK_SPOT" \
    click --repeat "$count" --delay 120 "$button"
}

# The program's open popup menus: override-redirect windows that are not
# balloons.
open_menus() {
  local w info tree type
  for w in $(xdotool search --onlyvisible --classname '^vantrel$' 2>/dev/null); do
    info=$(xwininfo -id "$w" 2>/dev/null) || continue
    tree=$(xwininfo -tree -id "$w" 2>/dev/null) || continue
    type=$(xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null) || continue
    [[ $info == *"Override Redirect State: yes"* ]] || continue
    [[ $tree == *"Parent window id: "*"(the root window)"* ]] || continue
    [[ $type != *TOOLTIP* ]] || continue
    echo "$w"
  done
}

menu_open() { [ -n "$(open_menus)" ]; }
menu_closed() { [ -z "$(open_menus)" ]; }

# Opens the menu with a right click and chooses the item reached with
# DOWN presses of the Down key.
choose_menu_item() {
  local downs=$1
  click_icon 3
  wait_for 20 "the menu to open" menu_open
  # The pointer leaves the menu, so that no item is active from hovering.
  xdotool mousemove 10 700
  local keys=()
  for ((i = 0; i < downs; i++)); do keys+=(Down); done
  xdotool key --delay 50 "${keys[@]}" Return
  wait_for 20 "the menu to close" menu_closed
}

# A visible window of the program titled exactly TITLE.
dialog_window() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}

dialog_shown() { [ -n "$(dialog_window "$1")" ]; }
dialog_gone() { [ -z "$(dialog_window "$1")" ]; }

# Gives a dialog the keyboard focus (there is no window manager to do it).
focus_dialog() {
  local w
  w=$(dialog_window "$1")
  [ -n "$w" ] || fail "no window titled $1"
  xdotool windowfocus --sync "$w"
}
