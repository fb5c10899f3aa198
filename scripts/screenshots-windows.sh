#!/usr/bin/env bash
# Retakes the pictures of the Windows build in docs/: a balloon, the open
# menu, the settings dialog and the About box, under Wine on Xvfb. All but
# the balloon are taken in a Wine desktop, whose taskbar holds the
# notification area and whose windows have their captions.
#
#   scripts/screenshots-windows.sh      (after: cmake --workflow --preset windows)
#
# Needs xvfb, xdotool, imagemagick and Wine (scripts/install-deps.sh).
set -euo pipefail
ROOT=$(realpath "$(dirname "$0")/..")
DOCS=$ROOT/docs
VANTREL_EXE=$ROOT/build/windows/vantrel.exe
PROBE=$ROOT/build/windows/tests/win32/vantrel_probe.exe
source "$ROOT/tests/win32/e2e/lib.sh"

# The Wine desktop's size; its notification area is at the bottom right.
WIDTH=800 HEIGHT=600
CORNER=420x200+$((WIDTH - 420))+$((HEIGHT - 200))
ICON_X=$((WIDTH - 11)) ICON_Y=$((HEIGHT - 10))

shoot() {
  import -window root "$E2E_DIR/screen.png"
  convert "$E2E_DIR/screen.png" -crop "$2" +repage "$DOCS/$1.png"
  echo "docs/$1.png"
}

# The place on screen (WxH+X+Y) of the program's window titled TITLE, or of
# its open menu (menu): each is an X window of its own in the Wine desktop.
window_rect() {
  local w="" candidate
  if [ "$1" = menu ]; then
    for candidate in $(xdotool search --onlyvisible --classname "^$PROGRAM_NAME\$"); do
      [ -n "$(xdotool getwindowname "$candidate")" ] || w=$candidate
    done
  else
    w=$(wine_window "$1") || true
  fi
  [ -n "$w" ] || return 1
  xwininfo -id "$w" | awk -F: '/Absolute upper-left X/ { x = $2 } /Absolute upper-left Y/ { y = $2 }
    /  Width/ { w = $2 } /  Height/ { h = $2 } END { printf "%dx%d+%d+%d\n", w, h, x, y }'
}

# A window's area with a margin around it.
window_area() {
  local w h x y
  IFS=x+ read -r w h x y <<<"$(window_rect "$1")"
  echo "$((w + 24))x$((h + 24))+$((x - 12))+$((y - 12))"
}

run_in_desktop() {
  start_windows_program
  wait_for 60 "the program" probe running
}

# Keys to the Wine desktop's window, which has no window manager to give it
# the keyboard.
desktop_keys() {
  xdotool windowfocus "$(xdotool search --onlyvisible --classname '^explorer.exe$' | head -n1)"
  xdotool key --delay 50 "$@"
}

# Makes a window the active one, as a click on its caption does.
activate() {
  local w h x y
  IFS=x+ read -r w h x y <<<"$(window_rect "$1")"
  xdotool mousemove $((x + w / 2)) $((y + 8)) click 1 mousemove 10 10
}

# The balloon, in the notification area of trayer (Wine's desktop shows no
# balloons).
WINE_PREFIX=$ROOT/build/windows/wine
start_wine_desktop
convert -size 1024x768 xc:'#4a7090' "$E2E_DIR/desktop.png"
display -window root "$E2E_DIR/desktop.png" || true # sets it, yet exits with 1
install_windows_program
write_settings allusage=1 allinfoenable=0 eachenable=0
start_windows_program
wait_for 60 "the balloon" eval '[[ $(probe tooltip) == *CPU使用率が* ]]'
sleep 1
shoot windows-balloon 460x130+564+0
wine_run taskkill /im vantrel.exe >/dev/null
wait_for 30 "the program to end" program_ended
wine_run --end-session
kill "${E2E_PIDS[@]}" 2>/dev/null || true
E2E_PIDS=()

# The rest in a Wine desktop of a prefix of its own.
WINE_PREFIX=$ROOT/build/windows/wine-desktop
start_wine_virtual_desktop "$WIDTH" "$HEIGHT"

write_settings
run_in_desktop
xdotool mousemove "$ICON_X" "$ICON_Y" click 3
wait_for 20 "the menu" menu_shown
sleep 0.5
shoot windows-tray-menu "$CORNER"
desktop_keys Escape
wait_for 20 "the menu to close" menu_gone

xdotool mousemove "$ICON_X" "$ICON_Y" click --repeat 2 --delay 40 1
wait_for 20 "the settings dialog" wine_window_shown 設定
activate 設定
sleep 0.5
shoot windows-settings-dialog "$(window_area 設定)"
wine_run taskkill /im vantrel.exe >/dev/null
wait_for 30 "the program to end" program_ended

# The About item is the one above the last, at the menu's bottom.
run_in_desktop
xdotool mousemove "$ICON_X" "$ICON_Y" click 3
wait_for 20 "the menu" menu_shown
IFS=x+ read -r w h x y <<<"$(window_rect menu)"
xdotool mousemove $((x + w / 2)) $((y + h - 29)) click 1
wait_for 20 "the About box" wine_window_shown バージョン情報
activate バージョン情報
sleep 0.5
shoot windows-about-box "$(window_area バージョン情報)"
wine_run taskkill /im vantrel.exe >/dev/null
wait_for 30 "the program to end" program_ended
