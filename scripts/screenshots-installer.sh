#!/usr/bin/env bash
# Retakes the pictures of the Windows installer's pages in docs/ under Wine
# on Xvfb, in a Wine desktop of a prefix of its own where nothing is
# installed yet: the welcome page, the page that starts Vantrel with
# Windows, the finish page, and the uninstaller's confirmation page.
#
#   scripts/screenshots-installer.sh      (after: cmake --workflow --preset windows)
#
# Needs xvfb, xdotool, imagemagick and Wine (scripts/install-deps.sh).
set -euo pipefail
ROOT=$(realpath "$(dirname "$0")/..")
DOCS=$ROOT/docs
source "$ROOT/tests/win32/e2e/lib.sh"
SETUP=$(ls "$ROOT"/build/windows/vantrel-*-win64-setup.exe)
WIDTH=800 HEIGHT=600

WINE_PREFIX=$ROOT/build/windows/wine-installer
wine_run --new-prefix
start_wine_virtual_desktop "$WIDTH" "$HEIGHT"

# The desktop above its taskbar.
screen() {
  import -window root "$E2E_DIR/full.png"
  convert "$E2E_DIR/full.png" -crop "${WIDTH}x$((HEIGHT - 40))+0+0" +repage "$E2E_DIR/screen.png"
}
# The window alone: the screen without the desktop's colour around it.
window_only() {
  local page=$E2E_DIR/screen.png
  convert "$page" -bordercolor "$(convert "$page" -format '%[pixel:p{2,2}]' info:)" -border 1 \
    -trim +repage "$1"
}
shoot() {
  wait_for 20 "$1 to be drawn" screen_settled
  cp "$E2E_DIR/window.png" "$DOCS/$1.png"
  echo "docs/$1.png"
}
same() { [ "$(compare -metric AE "$E2E_DIR/$1.png" "$E2E_DIR/$2.png" /dev/null 2>&1)" = 0 ]; }
# Two screenshots 300 ms apart alike: nothing is being drawn.
screen_still() {
  screen
  cp "$E2E_DIR/screen.png" "$E2E_DIR/before.png"
  sleep 0.3
  screen
  same before screen
}
# A new page has been drawn: the screen is still, shows a window, and
# differs from the last page.
screen_settled() {
  screen_still && ! same last screen || return 1
  window_only "$E2E_DIR/window.png" 2>/dev/null
  [ "$(identify -format %w "$E2E_DIR/window.png")" -gt 200 ] && cp "$E2E_DIR/screen.png" "$E2E_DIR/last.png"
}
keys() {
  xdotool windowfocus --sync "$(xdotool search --onlyvisible --classname '^explorer.exe$' | head -n1)"
  xdotool key --delay 80 "$@"
}

wine_run cmd /c exit
wait_for 60 "the Wine desktop" eval "xdotool search --onlyvisible --classname '^explorer.exe\$' >/dev/null"
wait_for 30 "the empty desktop to be drawn" screen_still
cp "$E2E_DIR/screen.png" "$E2E_DIR/last.png"
(wine_run "$SETUP" >/dev/null 2>&1) &
E2E_PIDS+=($!)
shoot windows-installer-welcome
keys Return
shoot windows-installer-startup
keys Return
shoot windows-installer-finish
# Finish without starting Vantrel: Space clears the box, Enter closes.
keys space Return
wait_for 30 "the installer to end" eval '! kill -0 "${E2E_PIDS[-1]}" 2>/dev/null'

uninstaller=$(find "$WINE_PREFIX" -ipath '*/Programs/Vantrel/Uninstall.exe')
(wine_run "$uninstaller" >/dev/null 2>&1) &
E2E_PIDS+=($!)
shoot windows-uninstaller
keys Escape
wine_run --end-session
