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

# With E2E_PAUSE set, a failing test leaves its desktop running for 15
# minutes, its environment in $E2E_DIR.env, for a look at what went wrong.
fail() {
  echo "FAIL: $*" >&2
  if [ -n "${E2E_PAUSE:-}" ]; then
    env >"$E2E_DIR.env"
    echo "paused; the environment is in $E2E_DIR.env" >&2
    sleep 900
  fi
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

# start_xvfb [WxHxDEPTH]: starts Xvfb on a free display with one screen
# (1024x768x24); exports DISPLAY.
start_xvfb() {
  local fdfile="$E2E_DIR/display"
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp 3>"$fdfile" 2>/dev/null &
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

# A method of the first registered item.
sni_item_call() {
  local item
  item=$(sni_items | head -n1)
  bus_call "${item%%/*}" "/${item#*/}" "$@"
}

# The bus name of the first registered item, and the object path of the menu
# that it exports.
sni_item_service() { sni_items | head -n1 | cut -d/ -f1; }
sni_menu_path() { sni_item_property Menu | sed -n 's/.*object path "\(.*\)"/\1/p'; }

# The items of the menu that the item exports, which the panel draws: each
# label, "-" for a separator, "+" after a checked one, joined by "|".
exported_menu() {
  bus_call "$(sni_item_service)" "$(sni_menu_path)" com.canonical.dbusmenu.GetLayout int32:0 int32:-1 array:string: |
    awk '/string "label"/ { getline; sub(/^[^"]*"/, ""); sub(/"$/, ""); items[++n] = $0 }
         /string "type"/ { getline; if ($0 ~ /"separator"/) items[++n] = "-" }
         /string "toggle-state"/ { getline; if ($0 ~ /int32 1$/) items[n] = items[n] "+" }
         END { for (i = 1; i <= n; i++) printf "%s%s", (i > 1 ? "|" : ""), items[i] }'
}

# The id of the item labelled $1 in the menu that the item exports.
menu_item_id() {
  gdbus call --session -d "$(sni_item_service)" -o "$(sni_menu_path)" -m com.canonical.dbusmenu.GetLayout -- 0 -1 '[]' |
    grep -o "([0-9]*, {[^}]*'label': <'$1'>" | grep -o '^([0-9]*' | tr -d '('
}

# Chooses the item labelled $1 as the host does when the user clicks it.
choose_exported() {
  local id
  id=$(menu_item_id "$1")
  [ -n "$id" ] || fail "the exported menu has no item $1"
  gdbus call --session -d "$(sni_item_service)" -o "$(sni_menu_path)" -m com.canonical.dbusmenu.Event -- "$id" clicked '<0>' 0 >/dev/null
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
# its arguments (a folder is passed as it is: the test's folder is open to
# nobody), and E2E_LIB names this file's copy. When E2E_RESULTS names
# a folder, the copy gets a folder of its own in E2E_RESULTS, whose files
# then go to the folder named.
rerun_unprivileged() {
  [ "$(id -u)" -eq 0 ] || return 0
  local stage=$E2E_DIR/unprivileged status=0 file args=()
  mkdir -p "$stage/home" "$stage/results"
  cp "$E2E_LIB" "$0" "$stage/"
  for file in "$@"; do
    if [ -d "$file" ]; then
      args+=("$file")
      continue
    fi
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

# start_program [PROGRAM]: starts the copy (or PROGRAM); its output goes to
# files in the folder. It has the test's own session bus if the test
# started one, else none.
start_program() {
  local bus=(-u DBUS_SESSION_BUS_ADDRESS)
  [ ! -s "$E2E_DIR/bus/address" ] || bus=("DBUS_SESSION_BUS_ADDRESS=$DBUS_SESSION_BUS_ADDRESS")
  env "${bus[@]}" XDG_RUNTIME_DIR="$E2E_DIR" \
    "${1:-$E2E_DIR/vantrel}" >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr" &
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

# The settings file that a save of the default settings writes, with
# allenable=ALLENABLE, in UTF-8 and with LF line ends.
saved_defaults() {
  cat <<EOF
[Base]
allusage=95
allusageinfo=80
eachusage=80
intervalsec=5
disptrayicon=1
allcount=0
allinfocnt=0
eachcount=1
allenable=$1
allinfoenable=1
eachenable=1
writelogfile=0
allwarntitle="CPU使用率 の警告！"
allwarnmsg="CPU使用率が {u}% に達しました"
allinfotitle="CPU使用率 のお知らせ"
allinfomsg="CPU使用率は {u}% です"
eachwarntitle="CPU使用率 の警告！"
eachwarnmsg="プロセス[{p}]がCPUを {u}% 使っています"
ignoreproc=""
logfilename=""
EOF
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
# balloons, of the X class CLASS (vantrel unless given).
open_menus() {
  local w info tree type
  for w in $(xdotool search --onlyvisible --classname "^${1:-vantrel}\$" 2>/dev/null); do
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

# skip REASON: ends the test as skipped (CTest's SKIP_RETURN_CODE), saying
# why in one line.
skip() {
  echo "SKIP: $*"
  exit 77
}

# need COMMAND...: skips the test unless each command is installed.
need() {
  local command
  for command in "$@"; do
    command -v "$command" >/dev/null || skip "$command is not installed"
  done
}

# The pixels of the X screen's area W x H at X, Y, one "R G B" a line, left
# to right and top to bottom.
screen_pixels() {
  import -window root -crop "$3x$4+$1+$2" +repage -depth 8 ppm:- 2>/dev/null |
    tail -c $(($3 * $4 * 3)) | od -An -v -tu1 | tr -s ' ' '\n' | grep . | paste -d' ' - - -
}

# meter_spot X Y W H: the middle of the pixels in the meter's colours (red,
# green or yellow, lit or not, as a desktop may scale them) in that area of
# the X screen, printed as "X Y"; fails when there are none.
meter_spot() {
  screen_pixels "$@" | awk -v x0="$1" -v y0="$2" -v w="$3" '
    $3 < 48 && (($1 > 90 && $2 < 48) || ($2 > 90 && $1 < 48) || ($1 > 90 && $2 > 90)) {
      i = NR - 1; sx += i % w; sy += int(i / w); n++ }
    END { if (n == 0) exit 1; print x0 + int(sx / n), y0 + int(sy / n) }'
}

# start_plasma: KDE Plasma 5 on X11 on an X server of its own: kded5 (with
# the StatusNotifierWatcher), kwin_x11 and plasmashell, whose default layout
# puts a panel with the system tray along the bottom; plasmashell also
# serves the notifications. They run on a session bus of the test's own
# whose only services are Plasma's own, so that no other notification
# service starts on demand; the bus starts them with the session's
# environment, without which Plasma's helpers give up. Waits until the tray
# is a StatusNotifierItem host. PIDs in E2E_KDED_PID and E2E_PLASMA_PID.
start_plasma() {
  need kded5 kwin_x11 plasmashell import
  start_xvfb
  export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 QT_QPA_PLATFORM=xcb \
    QT_QUICK_BACKEND=software LIBGL_ALWAYS_SOFTWARE=1 XDG_RUNTIME_DIR=$E2E_DIR
  mkdir -p "$E2E_DIR/kde-services"
  ln -s /usr/share/dbus-1/services/org.kde.* "$E2E_DIR/kde-services/"
  start_session_bus "$E2E_DIR/kde-services"
  start_kded
  KWIN_COMPOSE=N kwin_x11 --replace >"$E2E_DIR/kwin.log" 2>&1 &
  E2E_PIDS+=($!)
  start_plasmashell
}

start_kded() {
  kded5 >"$E2E_DIR/kded.log" 2>&1 &
  E2E_KDED_PID=$!
  E2E_PIDS+=($!)
  wait_for 30 "kded5's StatusNotifierWatcher" bus_has_name org.kde.StatusNotifierWatcher
}

start_plasmashell() {
  plasmashell --no-respawn >"$E2E_DIR/plasmashell.log" 2>&1 &
  E2E_PLASMA_PID=$!
  E2E_PIDS+=($!)
  local deadline=$((SECONDS + 120))
  until sni_host_registered && bus_has_name org.freedesktop.Notifications; do
    [ "$SECONDS" -lt "$deadline" ] || skip "Plasma's system tray did not come up within 120 s"
    sleep 0.2
  done
}

# A visible window of plasmashell of the type given (POPUP_MENU for the menu
# it draws for an item, NOTIFICATION for a bubble, TOOLTIP).
plasma_shows() { has_window_of_type plasmashell "$1"; }

# The name of the active window.
active_window_name() { xdotool getactivewindow getwindowname 2>/dev/null; }
active_is() { [ "$(active_window_name)" = "$1" ]; }

# start_gnome [appindicator]: GNOME Shell on Wayland, nested in an X server
# of its own (Xvfb, 1280 x 800), with the AppIndicator extension (a
# StatusNotifierItem watcher and host in the top bar) when asked for, and an
# extension of the test's own that lets it ask the shell with shell_eval.
# The shell runs on a session bus of the test's own whose services are
# dconf's, GNOME Shell's own and those in E2E_SERVICES (a folder), and on a
# system bus of its own (the shell assumes logind, which this machine does
# not run, and wants some system bus). Applications of XDG_DATA_DIRS are
# the launcher's. Exports WAYLAND_DISPLAY; the shell's PID in
# E2E_SHELL_PID.
start_gnome() {
  need gnome-shell gjs import
  local extensions="'vantrel-test@vantrel.example.org'" service
  [ "${1:-}" != appindicator ] || extensions+=", 'ubuntu-appindicators@ubuntu.com'"
  if [ -z "${DBUS_SYSTEM_BUS_ADDRESS:-}" ]; then
    start_xvfb 1280x800x24
    export XDG_RUNTIME_DIR=$E2E_DIR XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland LIBGL_ALWAYS_SOFTWARE=1 \
      MUTTER_DEBUG_DUMMY_MODE_SPECS=1280x800
    mkdir -p "$E2E_DIR/system-bus" "$E2E_DIR/gnome-services"
    for service in ca.desrt.dconf org.gnome.Shell.Notifications org.gnome.Shell.Extensions; do
      ln -s "/usr/share/dbus-1/services/$service.service" "$E2E_DIR/gnome-services/"
    done
    [ -z "${E2E_SERVICES:-}" ] || ln -s "$E2E_SERVICES"/* "$E2E_DIR/gnome-services/"
    start_session_bus "$E2E_DIR/gnome-services"
    sed -e "s|<listen>.*</listen>|<listen>unix:dir=$E2E_DIR/system-bus</listen>|" -e '/<servicedir>/d' \
      -e 's|<type>session</type>|<type>system</type>|' "$E2E_DIR/bus/session.conf" >"$E2E_DIR/system-bus/bus.conf"
    dbus-daemon --config-file="$E2E_DIR/system-bus/bus.conf" --nofork --print-address=3 \
      3>"$E2E_DIR/system-bus/address" 2>/dev/null &
    E2E_PIDS+=($!)
    wait_for 20 "the system bus" test -s "$E2E_DIR/system-bus/address"
    export DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$E2E_DIR/system-bus/address")
  fi
  local test_extension=$HOME/.local/share/gnome-shell/extensions/vantrel-test@vantrel.example.org
  mkdir -p "$test_extension"
  echo '{"uuid": "vantrel-test@vantrel.example.org", "name": "Vantrel test",
         "description": "Lets the test evaluate in the shell.", "shell-version": ["43"]}' \
    >"$test_extension/metadata.json"
  echo 'function init() { return { enable() { global.context.unsafe_mode = true; }, disable() {} }; }' \
    >"$test_extension/extension.js"
  gsettings set org.gnome.shell disable-user-extensions false
  gsettings set org.gnome.shell enabled-extensions "[$extensions]"
  unset WAYLAND_DISPLAY
  gnome-shell --nested --wayland >"$E2E_DIR/gnome-shell.log" 2>&1 &
  E2E_SHELL_PID=$!
  E2E_PIDS+=($!)
  local deadline=$((SECONDS + 60))
  until [ "$(shell_eval 'global.context.unsafe_mode')" = true ]; do
    [ "$SECONDS" -lt "$deadline" ] || skip "GNOME Shell did not come up within 60 s"
    sleep 0.2
  done
  export WAYLAND_DISPLAY=wayland-0
  # Out of the overview, which the shell shows at its start.
  wait_for 30 "the shell to leave its overview" out_of_overview
}

out_of_overview() {
  [ "$(shell_eval 'Main.layoutManager._startingUp || (Main.overview.hide(), Main.overview.visible)')" = false ]
}

# Ends GNOME Shell; start_gnome starts it again on the same buses.
stop_gnome() {
  kill "$E2E_SHELL_PID"
  wait "$E2E_SHELL_PID" 2>/dev/null || true
  rm -f "$E2E_DIR"/wayland-0*
}

# shell_eval JS: the result of JS evaluated in GNOME Shell, as text; fails
# when the evaluation does.
shell_eval() {
  local reply
  reply=$(gdbus call --session --dest org.gnome.Shell --object-path /org/gnome/Shell \
    --method org.gnome.Shell.Eval "$1" 2>/dev/null) || return 1
  [[ $reply == "(true, "* ]] || return 1
  reply=${reply#(true, \'}
  reply=${reply%\')}
  # A text comes as JSON: in double quotes.
  [[ $reply != \"*\" ]] || reply=${reply:1:-1}
  printf '%s\n' "$reply"
}

# The titles of the windows of the process PID that GNOME Shell shows, a
# line each, and the title of the window with the focus.
gnome_windows_of() {
  shell_eval "global.get_window_actors().map(a => a.meta_window).filter(w => w.get_pid() == $1).map(w => w.get_title()).join(':')" |
    tr ':' '\n' | grep .
}
gnome_focus() { shell_eval 'global.display.focus_window ? global.display.focus_window.get_title() : ""'; }
gnome_focus_is() { [ "$(gnome_focus)" = "$1" ]; }
