# Shared steps of the end-to-end tests, sourced by each of them.
#
# Every test gets its own X server (Xvfb, on a display number it picks
# itself), the real desktop parts it needs (a notification area: trayer or
# xfce4-panel; a notification service: dunst; a session bus of its own for
# them) and a folder of its own, into which the program is copied so that
# its Vantrel.ini and usage log land there. Everything started here is ended
# on any exit.
#
# Waits are for conditions, with time limits, never for a fixed time: the
# machine may be busy.

set -euo pipefail

# One locale for every tool, whatever the caller's: the tests compare texts
# in UTF-8, and a tool such as xprop prints them in the locale's form. Wine
# gets the Japanese locale it needs from wine_run.sh.
export LC_ALL=C.UTF-8
unset LANGUAGE

E2E_PIDS=()
E2E_DIR=$(mktemp -d /tmp/vantrel-e2e.XXXXXX)
E2E_LIB=$(realpath "${BASH_SOURCE[0]}")
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
  start_xvfb
  start_trayer
}

# Starts Xvfb on a free display; exports DISPLAY.
start_xvfb() {
  local fdfile="$E2E_DIR/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
  E2E_PIDS+=($!)
  wait_for 20 "Xvfb to start" test -s "$fdfile"
  export DISPLAY=":$(head -n1 "$fdfile")"
}

# Starts trayer, an XEmbed notification area, at the top right; its PID in
# E2E_TRAYER_PID.
start_trayer() {
  trayer --edge top --align right --widthtype request --height 24 \
    --transparent false --tint 0xd0d0d0 --SetDockType true >/dev/null 2>&1 &
  E2E_TRAYER_PID=$!
  E2E_PIDS+=($!)
  xdotool search --sync --limit 1 --classname '^panel$' >/dev/null
}

# start_session_bus [anonymous] [SERVICES]: starts a session bus of the
# test's own: only what the test starts runs on it, and nothing is started
# on demand unless a folder of D-Bus service files is given. Exports
# DBUS_SESSION_BUS_ADDRESS, which start_program then gives the program. With
# "anonymous" it also takes clients that cannot prove their user (a program
# in a user namespace of its own, which takes itself for root).
start_session_bus() {
  local anonymous=
  if [ "${1:-}" = anonymous ]; then
    anonymous='<auth>ANONYMOUS</auth><allow_anonymous/>'
    shift
  fi
  local services=${1:-}
  mkdir -p "$E2E_DIR/bus"
  cat >"$E2E_DIR/bus/session.conf" <<XML
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$E2E_DIR/bus</listen>
  ${services:+<servicedir>$services</servicedir>}
  <auth>EXTERNAL</auth>$anonymous
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
XML
  dbus-daemon --config-file="$E2E_DIR/bus/session.conf" --nofork --print-address=3 \
    3>"$E2E_DIR/bus/address" 2>"$E2E_DIR/bus/log" &
  E2E_PIDS+=($!)
  wait_for 20 "the session bus" test -s "$E2E_DIR/bus/address"
  export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$E2E_DIR/bus/address")
  # Desktop parts look for the accessibility bus, which is not there.
  export NO_AT_BRIDGE=1
}

# bus_call DESTINATION PATH INTERFACE.METHOD ARGS...: a method call on the
# session bus, its reply printed by dbus-send.
bus_call() {
  local dest=$1 path=$2 method=$3
  shift 3
  dbus-send --session --print-reply --dest="$dest" "$path" "$method" "$@" 2>/dev/null
}

bus_has_name() {
  bus_call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner \
    "string:$1" | grep -q 'boolean true'
}

# Starts xfce4-panel with one panel along the top, 32 pixels high, that holds
# only its status tray with icons of 24 pixels; the tray is a
# StatusNotifierItem watcher and host (and an XEmbed notification area).
# Waits until a host is registered. Its settings live
# in the test's folder, served by an xfconfd of the test's own. The panel's
# PID in E2E_PANEL_PID.
start_xfce_panel() {
  local config="$E2E_DIR/xfce" channel
  channel="$config/xfce4/xfconf/xfce-perchannel-xml"
  mkdir -p "$channel"
  cat >"$channel/xfce4-panel.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="32"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray">
      <property name="icon-size" type="int" value="24"/>
    </property>
  </property>
</channel>
XML
  if ! bus_has_name org.xfce.Xfconf; then
    XDG_CONFIG_HOME="$config" "$(dpkg-query -L xfconf | grep '/xfconfd$')" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wait_for 20 "xfconfd" bus_has_name org.xfce.Xfconf
  fi
  XDG_CONFIG_HOME="$config" xfce4-panel --disable-wm-check >/dev/null 2>&1 &
  E2E_PANEL_PID=$!
  E2E_PIDS+=($!)
  wait_for 30 "the panel's StatusNotifierItem host" sni_host_registered
}

sni_host_registered() {
  bus_call org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
    string:org.kde.StatusNotifierWatcher string:IsStatusNotifierHostRegistered | grep -q 'boolean true'
}

# The StatusNotifierItems registered with the watcher, one "service/path"
# a line.
sni_items() {
  bus_call org.kde.StatusNotifierWatcher /StatusNotifierWatcher org.freedesktop.DBus.Properties.Get \
    string:org.kde.StatusNotifierWatcher string:RegisteredStatusNotifierItems |
    sed -n 's/^ *string "\(.*\)"$/\1/p'
}

sni_item_registered() { [ -n "$(sni_items)" ]; }

# A property of the first registered item, as dbus-send prints it.
sni_item_property() {
  local item
  item=$(sni_items | head -n1)
  bus_call "${item%%/*}" "/${item#*/}" org.freedesktop.DBus.Properties.Get \
    string:org.kde.StatusNotifierItem "string:$1"
}

# start_dunst [SETTINGS]: starts dunst as the desktop's notification service
# with the settings file given, or the tests' own: every notification
# shown, none merged with an equal one, and a rule that marks a Vantrel
# warning with the icon dialog-warning, normal urgency and the program's
# desktop entry by "warning normal:" before its summary. Waits until it
# serves on the bus.
start_dunst() {
  local settings=${1:-$E2E_DIR/dunstrc}
  [ $# -gt 0 ] || cat >"$settings" <<'INI'
[global]
    font = IPAPGothic 10
    markup = full
    format = "%s\n%b"
    notification_limit = 0
    stack_duplicates = false
    idle_threshold = 0
[vantrel-warning]
    appname = Vantrel
    icon = dialog-warning
    msg_urgency = normal
    desktop_entry = org.vantrel.Vantrel
    format = "warning normal: %s\n%b"
INI
  dunst -config "$settings" >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  wait_for 20 "dunst" bus_has_name org.freedesktop.Notifications
}

# Where to click the only item of xfce4-panel's status tray: the middle of
# the tray, printed as "X Y".
sni_tray_spot() {
  local w info
  for w in $(xdotool search --classname '^wrapper-2.0$' 2>/dev/null); do
    info=$(xwininfo -id "$w" 2>/dev/null) || continue
    [[ $info == *"Map State: IsViewable"* && $info != *"Override Redirect State: yes"* ]] || continue
    awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
         /Width:/ { w = $NF } /Height:/ { h = $NF }
         END { print x + int(w / 2), y + int(h / 2) }' <<<"$info"
    return 0
  done
  return 1
}

# The menu that xfce4-panel draws for an item: an open popup menu of the
# panel's plugin process.
panel_menu_open() { has_window_of_type wrapper-2.0 POPUP_MENU; }

# The number of notifications dunst shows.
notifications_shown() { dunstctl count displayed; }
notifications_are() { [ "$(notifications_shown)" -eq "$1" ]; }

# has_window_of_type CLASS TYPE: a visible window of that class whose
# _NET_WM_WINDOW_TYPE is TYPE (TOOLTIP, POPUP_MENU, ...).
has_window_of_type() {
  local w
  for w in $(xdotool search --onlyvisible --classname "^$1\$" 2>/dev/null); do
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_$2" && return 0
  done
  return 1
}

# rerun_unprivileged FILES...: run as root, runs the calling script again
# as the unprivileged user nobody (sway refuses root) and ends with its exit
# code; otherwise returns. The script, this file and FILES are copied where
# nobody can read them; the copy of the script gets the copies of FILES as
# its arguments, and E2E_LIB names this file's copy. When E2E_RESULTS names
# a folder, the copy gets a folder of its own in E2E_RESULTS, whose files
# then go to the folder named.
rerun_unprivileged() {
  [ "$(id -u)" -eq 0 ] || return 0
  local stage=$E2E_DIR/unprivileged status=0 file args=()
  mkdir -p "$stage/home" "$stage/results"
  cp "$E2E_LIB" "$0" "$stage/"
  for file in "$@"; do
    cp "$file" "$stage/"
    args+=("$stage/$(basename "$file")")
  done
  # A leak suppressions file of a sanitizer build, where nobody can read it.
  if [[ ${LSAN_OPTIONS:-} == *suppressions=* ]]; then
    file=${LSAN_OPTIONS#*suppressions=}
    file=${file%%:*}
    cp "$file" "$stage/lsan.supp"
    export LSAN_OPTIONS=${LSAN_OPTIONS/"$file"/"$stage/lsan.supp"}
  fi
  chown -R nobody: "$stage"
  chmod 755 "$E2E_DIR"
  (cd /tmp && runuser -u nobody -- env HOME="$stage/home" E2E_LIB="$stage/lib.sh" \
    E2E_RESULTS="$stage/results" bash "$stage/$(basename "$0")" "${args[@]}") || status=$?
  [ -z "${E2E_RESULTS:-}" ] || cp -r "$stage/results/." "$E2E_RESULTS"
  exit "$status"
}

# start_sway [SCALE]: starts sway without a display of its own, on one
# screen of 1024 x 768 logical pixels at SCALE device pixels each (1), its
# sockets in the test's folder (mode 0700, as sway needs), and exports what
# its clients need.
start_sway() {
  local scale=${1:-1}
  echo "output HEADLESS-1 resolution $((1024 * scale))x$((768 * scale)) scale $scale bg #4a7090 solid_color" \
    >"$E2E_DIR/sway.conf"
  unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
  export XDG_RUNTIME_DIR=$E2E_DIR
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    sway -c "$E2E_DIR/sway.conf" >"$E2E_DIR/sway.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for 30 "sway" compgen -G "$E2E_DIR/sway-ipc.*.sock" >/dev/null
  export SWAYSOCK=$(compgen -G "$E2E_DIR/sway-ipc.*.sock")
  export WAYLAND_DISPLAY=$(basename "$(compgen -G "$E2E_DIR/wayland-[0-9]")")
}

# waybar along the top, 30 pixels high, with only its tray (icons of 24
# pixels), which is the StatusNotifierItem watcher and host.
start_waybar() {
  echo '{"layer": "top", "position": "top", "height": 30, "modules-right": ["tray"],
         "tray": {"icon-size": 24}}' >"$E2E_DIR/waybar.json"
  waybar -c "$E2E_DIR/waybar.json" >"$E2E_DIR/waybar.log" 2>&1 &
  E2E_PIDS+=($!)
  wait_for 30 "waybar's StatusNotifierItem host" sni_host_registered
}

# Copies the program under test into the test's folder.
install_program() {
  cp "$VANTREL_BIN" "$E2E_DIR/vantrel"
}

# Starts the copy; its output goes to files in the folder. It has the
# test's own session bus if the test started one, else none.
start_program() {
  local bus=(-u DBUS_SESSION_BUS_ADDRESS)
  [ ! -s "$E2E_DIR/bus/address" ] || bus=("DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS")
  env "${bus[@]}" XDG_RUNTIME_DIR="$E2E_DIR" \
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
