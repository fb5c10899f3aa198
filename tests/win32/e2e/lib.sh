# Shared steps of the Windows end-to-end tests, sourced by each of them after
# setting WINE_PREFIX (the suite's Wine prefix), VANTREL_EXE (the program)
# and PROBE (vantrel_probe.exe). Built on the steps of the Linux end-to-end
# tests: an X server of the test's own with trayer as the notification area,
# and a folder of the test's own for the program and its files.
source "$(dirname "${BASH_SOURCE[0]}")/../../e2e/lib.sh"

WINE_RUN=$(realpath "$(dirname "${BASH_SOURCE[0]}")/../wine_run.sh")

# Each test starts its own Wine session, so that Wine's desktop process (which
# holds the tray icons) runs on this test's X server, and ends it at the end.
wine_run() { "$WINE_RUN" "$WINE_PREFIX" "$@"; }
wine_cleanup() {
  local status=$?
  set +e
  wine_run --end-session
  (exit "$status")
  e2e_cleanup
}
trap wine_cleanup EXIT

start_wine_desktop() {
  wine_run --end-session
  start_desktop
}

# For pictures: an X server of WIDTH x HEIGHT whose whole screen is a Wine
# desktop, where the prefix's programs get their captions and a taskbar
# holds the notification area. Exports DISPLAY.
start_wine_virtual_desktop() {
  local width=$1 height=$2 fdfile="$E2E_DIR/desktop-display"
  wine_run --end-session
  wine_run reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  wine_run reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "${width}x${height}" /f >/dev/null
  wine_run --end-session
  Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp 3>"$fdfile" 2>/dev/null &
  E2E_PIDS+=($!)
  wait_for 20 "Xvfb to start" test -s "$fdfile"
  export DISPLAY=":$(head -n1 "$fdfile")"
}

# Copies the program into the test's folder, which the program may write
# (Wine runs it as nobody when the test runs as root), under the file name
# NAME (vantrel.exe unless given).
install_windows_program() {
  PROGRAM_NAME=${1:-vantrel.exe}
  cp "$VANTREL_EXE" "$E2E_DIR/$PROGRAM_NAME"
  chmod 777 "$E2E_DIR"
  chmod -R a+rw "$E2E_DIR"
}

start_windows_program() {
  chmod -R a+rw "$E2E_DIR"
  (cd "$E2E_DIR" && exec "$WINE_RUN" "$WINE_PREFIX" "$E2E_DIR/$PROGRAM_NAME" >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr") &
  VANTREL_PID=$!
  E2E_PIDS+=("$VANTREL_PID")
}

# What the probe finds, in UTF-8.
probe() {
  local out
  out=$(wine_run "$(realpath "$PROBE")" "$@") || return 1
  iconv -f CP932 -t UTF-8 <<<"$out"
}

# The icon's window docked in the notification area: Wine's desktop process
# draws it.
wine_icon_window() {
  local w tree
  for w in $(xdotool search --classname '^explorer.exe$' 2>/dev/null); do
    tree=$(xwininfo -tree -id "$w" 2>/dev/null) || continue
    [[ $tree != *"Parent window id: "*"(the root window)"* ]] || continue
    xwininfo -id "$w" 2>/dev/null | grep -q "Map State: IsViewable" && { echo "$w"; return 0; }
  done
  return 1
}
wine_icon_docked() { wine_icon_window >/dev/null; }
wine_icon_gone() { ! wine_icon_docked; }

# Clicks the icon: BUTTON, COUNT clicks.
click_wine_icon() {
  local w
  w=$(wine_icon_window) || fail "no icon to click"
  xdotool mousemove --window "$w" 6 6 click --repeat "${2:-1}" --delay 40 "$1"
}

# The program's popup menu: Wine shows it as an override-redirect window of
# the program's X class, its file name.
menu_shown() { [ -n "$(open_menus "$(basename "${PROGRAM_NAME:-vantrel.exe}")")" ]; }
menu_gone() { ! menu_shown; }

# Opens the menu with a right click and chooses the item reached with DOWN
# presses of the Down key.
choose_wine_menu_item() {
  local downs=$1 keys=()
  click_wine_icon 3
  wait_for 20 "the menu to open" menu_shown
  for ((i = 0; i < downs; i++)); do keys+=(Down); done
  xdotool key --delay 50 "${keys[@]}" Return
  wait_for 20 "the menu to close" menu_gone
}

# The X window of the program's window titled TITLE.
wine_window() {
  local w
  for w in $(xdotool search --onlyvisible --classname "^${PROGRAM_NAME:-vantrel.exe}\$" 2>/dev/null); do
    if [ "$(xprop -id "$w" _NET_WM_NAME 2>/dev/null)" = "_NET_WM_NAME(UTF8_STRING) = \"$1\"" ]; then
      echo "$w"
      return 0
    fi
  done
  return 1
}
wine_window_shown() { wine_window "$1" >/dev/null; }
wine_window_gone() { ! wine_window_shown "$1"; }

# Gives the window titled TITLE the keyboard (there is no window manager).
focus_wine_window() {
  local w
  w=$(wine_window "$1") || fail "no window titled $1"
  xdotool windowfocus "$w"
  xdotool mousemove --window "$w" 20 20
  wait_for 10 "the focus on $1" test "$(xdotool getwindowfocus)" = "$((w))"
}

# The settings file's bytes in UTF-8.
settings_text() { iconv -f CP932 -t UTF-8 "$E2E_DIR/Vantrel.ini"; }

# The Unix process of the Windows program NAME (its file name) among the
# processes that PID started.
wine_process_of() {
  local pid pids=$1
  while [ -n "$pids" ]; do
    for pid in $pids; do
      [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$2" ] && { echo "$pid"; return 0; }
    done
    pids=$(for pid in $pids; do pgrep -P "$pid" || true; done)
  done
  return 1
}
