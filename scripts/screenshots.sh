#!/usr/bin/env bash
# Retakes the pictures in docs/: the docked icon with its tooltip, the open
# menu, a balloon, the settings dialog with the default settings and the
# About box, each on Xvfb with a real notification area (trayer); then the
# icon as a StatusNotifierItem in xfce4-panel with the menu the panel draws,
# and a warning shown by dunst as a desktop notification.
#
#   scripts/screenshots.sh [path/to/vantrel]     (default: build/default/vantrel)
#
# Needs what the end-to-end tests need and imagemagick; openbox, when
# installed, draws the dialogs' title bars, and adwaita-icon-theme gives
# dunst its warning icon.
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

# A StatusNotifierItem host and a notification service on a session bus of
# the script's own, instead of trayer: xfce4-panel along the top, dunst.
kill "$E2E_TRAYER_PID"
start_session_bus
cat >"$E2E_DIR/dunstrc-pictures" <<'INI'
[global]
    font = IPAPGothic 10
    markup = full
    format = "<b>%s</b>\n%b"
    icon_path = /usr/share/icons/Adwaita/48x48/legacy/
    max_icon_size = 32
    width = 330
    origin = top-right
    offset = 12x44
    padding = 10
    horizontal_padding = 10
    frame_width = 1
    frame_color = "#7d8a96"
    idle_threshold = 0
[urgency_normal]
    background = "#f6f6f4"
    foreground = "#202020"
INI
start_dunst "$E2E_DIR/dunstrc-pictures"
start_xfce_panel
start_program
wait_for 30 "the item to register" sni_item_registered
wait_for 30 "a notification" notifications_are 1
sleep 0.5
shoot notification 420x150+604+0
spot=$(sni_tray_spot) || fail "no status tray to click"
xdotool mousemove ${spot% *} ${spot#* } click 3
wait_for 20 "the panel to open the item's menu" panel_menu_open
sleep 0.5
shoot status-notifier 300x220+0+0
xdotool key Escape
kill -TERM "$VANTREL_PID"
expect_clean_exit 30
