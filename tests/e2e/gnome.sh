#!/usr/bin/env bash
# The program installed (cmake --install) and used in GNOME Shell 43 on
# Wayland, nested in an X server, as an unprivileged user:
#  - with the AppIndicator extension, on Qt's wayland platform: the icon in
#    the top bar; balloons as GNOME's notifications; a double click (the
#    extension's activation) opens the settings dialog, with the focus, and
#    no menu of the program's; the dialog has the program's own title bar
#    (no minimise or maximise button); a second start, launched with a
#    token of the shell's, brings the covered dialog to the front;
#  - the same icon and double click for a program on X11, through Xwayland;
#  - without the extension (no notification area): the launcher in the
#    overview starts the program and shows the settings dialog, and the
#    launcher's actions reach the settings dialog, the About box and Exit,
#    which saves the settings.
BUILD_DIR=$1
PREFIX=${2:-}
source "$(dirname "$0")/lib.sh"
need gnome-shell gjs import
if [ -z "$PREFIX" ]; then
  PREFIX=$E2E_DIR/prefix
  cmake --install "$BUILD_DIR" --prefix "$PREFIX" >/dev/null
fi
rerun_unprivileged "$BUILD_DIR" "$PREFIX"

ID=org.vantrel.Vantrel
SETTINGS=$HOME/.config/vantrel/Vantrel.ini
export XDG_DATA_DIRS=$PREFIX/share:/usr/share E2E_SERVICES=$PREFIX/share/dbus-1/services

app() { echo "Shell.AppSystem.get_default().lookup_app('$ID.desktop')"; }
app_found() { [ "$(shell_eval "$(app) !== null")" = true ]; }
program_pid() { pgrep -u "$(id -u)" -x vantrel | head -n1; }
program_running() { [ -n "$(program_pid)" ]; }
windows() { gnome_windows_of "$(program_pid)" | paste -sd'|'; }
windows_are() { [ "$(windows)" = "$1" ]; }
in_front() { windows_are "$1" && gnome_focus_is "$1"; }
# The icon in the top bar, lit in the meter's colours.
icon_spot() { meter_spot 1000 0 280 32; }
icon_docked() { icon_spot >/dev/null; }
double_click_icon() {
  local spot
  spot=$(icon_spot) || fail "no icon in the top bar"
  xdotool mousemove ${spot% *} ${spot#* } click --repeat 2 --delay 120 1
}
vantrel_notified() {
  [ "$(shell_eval "Main.messageTray.getSources().some(s => s.title === 'Vantrel')")" = true ]
}
# A window of GTK's, of another program, over the dialog.
cover() {
  gjs -c "imports.gi.versions.Gtk = '3.0'; const Gtk = imports.gi.Gtk; Gtk.init(null);
          const w = new Gtk.Window({title: 'cover'}); w.set_default_size(1200, 760); w.show_all(); Gtk.main();" \
    >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  COVER_PID=$!
  wait_for 20 "the covering window" gnome_focus_is cover
}
# A token of the shell's for a launch of the program, as its launcher gives.
launch_token() {
  shell_eval "global.create_app_launch_context(global.display.get_current_time_roundtrip(), -1).get_startup_notify_id($(app).get_app_info(), [])"
}
quit_program() {
  gdbus call --session --dest $ID --object-path /org/vantrel/Vantrel \
    --method org.freedesktop.Application.ActivateAction quit '[]' '{}' >/dev/null
  wait_for 30 "the program to end" eval '! program_running'
}

mkdir -p -m 700 "$HOME/.config/vantrel"
printf '[Base]\r\nallusage=1\r\nallinfoenable=0\r\neachenable=0\r\nintervalsec=2\r\n' >"$SETTINGS"

# --- With the AppIndicator extension, on Wayland.
start_gnome appindicator
wait_for 20 "the launcher's entry" app_found
QT_QPA_PLATFORM=wayland start_program "$PREFIX/bin/vantrel"
wait_for 30 "the item to register" sni_item_registered
wait_for 30 "the icon in the top bar" icon_docked
wait_for 30 "a warning as GNOME's notification" vantrel_notified
double_click_icon
wait_for 20 "the settings dialog in front" in_front 設定
windows_are 設定 || fail "the program shows '$(windows)'"
xdotool key Escape
wait_for 20 "the dialog to close" windows_are ""

# A second start from a launcher while the dialog is open under another
# window: the dialog comes to the front.
double_click_icon
wait_for 20 "the settings dialog" in_front 設定
cover
token=$(launch_token)
[ -n "$token" ] || fail "no launch token from the shell"
status=0
XDG_ACTIVATION_TOKEN=$token timeout 30 "$PREFIX/bin/vantrel" >/dev/null 2>&1 || status=$?
[ "$status" -eq 0 ] || fail "the second start ended with exit code $status"
wait_for 20 "the covered dialog in front" gnome_focus_is 設定
kill "$COVER_PID"
quit_program

# --- The same program on X11, through the shell's Xwayland.
xdisplay=$(shell_eval "imports.gi.GLib.getenv('DISPLAY')")
xauthority=$(shell_eval "imports.gi.GLib.getenv('XAUTHORITY')")
DISPLAY=$xdisplay XAUTHORITY=$xauthority QT_QPA_PLATFORM=xcb start_program "$PREFIX/bin/vantrel"
wait_for 30 "the X11 program's item to register" sni_item_registered
wait_for 30 "the X11 program's icon" icon_docked
double_click_icon
wait_for 20 "the X11 program's settings dialog in front" in_front 設定
quit_program

# --- Without a notification area: the launcher and its actions.
stop_gnome
start_gnome
dbus-update-activation-environment WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=wayland
wait_for 20 "the launcher's entry" app_found
shell_eval "$(app).open_new_window(-1)" >/dev/null
wait_for 30 "the program started by the launcher" program_running
wait_for 20 "the settings dialog from the launcher" in_front 設定
shell_eval "$(app).launch_action('about', global.get_current_time(), -1)" >/dev/null
wait_for 20 "the About box from the launcher's action" gnome_focus_is バージョン情報
shell_eval "$(app).launch_action('quit', global.get_current_time(), -1)" >/dev/null
wait_for 30 "the program to end" eval '! program_running'
[ "$(wc -l <"$SETTINGS")" -eq 21 ] || fail "the settings were not saved at the end"
echo "PASS"
