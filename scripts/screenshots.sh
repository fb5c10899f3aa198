#!/usr/bin/env bash
# Retakes the pictures in docs/: the docked icon with its tooltip, the open
# menu, a balloon, the settings dialog with the default settings and the
# About box, each on Xvfb with a real notification area (trayer).
#
#   scripts/screenshots.sh [path/to/vantrel]     (default: build/default/vantrel)
#
# Needs xvfb, trayer, xdotool, x11-utils and imagemagick; openbox, when
# installed, draws the dialogs' title bars.
VANTREL_BIN=$(realpath "${1:-build/default/vantrel}")
DOCS=$(realpath "$(dirname "$0")/../docs")
source "$(dirname "$0")/../tests/e2e/lib.sh"

# Cuts the area W x H at X, Y out of a picture of the whole screen.
shoot() {
  local name=$1 geometry=$2
  import -window root "$E2E_DIR/screen.png"
  convert "$E2E_DIR/screen.png" -crop "$geometry" +repage "$DOCS/$name.png"
  echo "docs/$name.png"
}

# The area of a window with the window manager's frame, and MARGIN pixels
# around it.
window_area() {
  local w=$1 margin=${2:-0} info x y width height extents
  info=$(xwininfo -id "$w")
  x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  width=$(sed -n 's/.*Width: *//p' <<<"$info")
  height=$(sed -n 's/.*Height: *//p' <<<"$info")
  # left, right, top, bottom
  extents=($(xprop -id "$w" _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ,))
  [ ${#extents[@]} -eq 4 ] || extents=(0 0 0 0)
  echo "$((width + extents[0] + extents[1] + 2 * margin))x$((height + extents[2] + extents[3] + 2 * margin))+$((x - extents[0] - margin))+$((y - extents[2] - margin))"
}

# The top right corner of the screen, where the notification area is.
CORNER=420x190+604+0

start_desktop
# A plain desktop colour behind the windows.
convert -size 1024x768 xc:'#4a7090' "$E2E_DIR/desktop.png"
display -window root "$E2E_DIR/desktop.png" || true # sets it, yet exits with 1
if command -v openbox >/dev/null; then
  # Title bars with the close button only, as the dialogs ask for, and the
  # dialogs' Japanese font.
  cat >"$E2E_DIR/openbox.xml" <<'XML'
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme>
    <titleLayout>NLC</titleLayout>
    <font place="ActiveWindow"><name>IPAPGothic</name><size>9</size><weight>bold</weight></font>
    <font place="InactiveWindow"><name>IPAPGothic</name><size>9</size><weight>bold</weight></font>
  </theme>
</openbox_config>
XML
  openbox --config-file "$E2E_DIR/openbox.xml" >/dev/null 2>&1 &
  E2E_PIDS+=($!)
fi
install_program

# The first run shows the default settings; nothing raises a balloon on an
# idle machine.
start_program
wait_for 30 "the icon to dock" icon_docked
tooltip_changed() { [ -n "$(xdotool search --onlyvisible --classname '^vantrel$' 2>/dev/null)" ]; }
sleep 1 # the first cycle replaces the tooltip "Vantrel" after about 0.6 s
xdotool mousemove --window "$(icon_window)" 11 11
sleep 2 # the tooltip appears after the pointer has rested
shoot tooltip "$CORNER"

click_icon 3
wait_for 20 "the menu to open" menu_open
shoot tray-menu "$CORNER"
xdotool key Escape
wait_for 20 "the menu to close" menu_closed

click_icon 1 2
wait_for 20 "the settings dialog" dialog_shown "設定"
sleep 0.5
shoot settings-dialog "$(window_area "$(dialog_window "設定")" 12)"
focus_dialog "設定"
xdotool key Escape
wait_for 20 "the settings dialog to close" dialog_gone "設定"

choose_menu_item 5
wait_for 20 "the About box" dialog_shown "バージョン情報"
sleep 0.5
shoot about-box "$(window_area "$(dialog_window "バージョン情報")" 12)"
kill -TERM "$VANTREL_PID"
expect_clean_exit 30

# The second run warns at 1 %: a balloon at the first cycle.
write_settings allusage=1 allinfoenable=0 eachenable=0
start_program
balloon_shown() { has_window_of_type vantrel TOOLTIP; }
wait_for 30 "a balloon" balloon_shown
sleep 0.5
shoot balloon "$CORNER"
kill -TERM "$VANTREL_PID"
expect_clean_exit 30
