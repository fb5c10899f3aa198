#!/usr/bin/env bash
# cmake --install into a temporary prefix: the desktop entry, the autostart
# entry and the AppStream metadata pass their validators, the icon is there
# at every size. The installed copy keeps its files per user: in
# ~/.config/vantrel without XDG_CONFIG_HOME or with a relative one, in
# $XDG_CONFIG_HOME/vantrel with an absolute one, each folder made with mode
# 0700 at its first start, and nothing new in the prefix. An existing folder
# keeps its mode; a missing home is not made, a file in the way not replaced.
# A copy beside a folder named like the desktop entry is no installed copy:
# its files go beside it. The session bus starts the installed program by
# its desktop id, as launchers do.
BUILD_DIR=$1
source "$(dirname "$0")/lib.sh"

ID=org.vantrel.Vantrel
PREFIX="$E2E_DIR/prefix"
HOME_DIR="$E2E_DIR/home"

cmake --install "$BUILD_DIR" --prefix "$PREFIX" >/dev/null
desktop-file-validate "$PREFIX/share/applications/$ID.desktop" "$PREFIX/etc/xdg/autostart/$ID.desktop" ||
  fail "desktop-file-validate"
appstreamcli validate --no-net "$PREFIX/share/metainfo/$ID.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate: $(appstreamcli validate --no-net "$PREFIX/share/metainfo/$ID.metainfo.xml")"
for size in 16 22 24 32 48 64 128 256; do
  png="$PREFIX/share/icons/hicolor/${size}x${size}/apps/$ID.png"
  # A PNG's width and height, big-endian, at bytes 16 to 23.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4, $7 * 256 + $8 }')
  [ "$dims" = "$size $size" ] || fail "$png is $dims"
done
grep -q '<svg' "$PREFIX/share/icons/hicolor/scalable/apps/$ID.svg" || fail "no scalable icon"
grep -qx "Exec=$PREFIX/bin/vantrel" "$PREFIX/share/dbus-1/services/$ID.service" || fail "the D-Bus service does not start $PREFIX/bin/vantrel"
touch "$E2E_DIR/installed"

# run_installed ENV...: runs the installed program (or $PROGRAM) without a
# display, with HOME in the test's folder and the given environment, until
# its first tooltip line; then ends it with SIGTERM.
run_installed() {
  # The last run's tooltip line must not pass for this run's.
  rm -f "$E2E_DIR/stdout"
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_CONFIG_HOME -u DBUS_SESSION_BUS_ADDRESS \
    HOME="$HOME_DIR" "$@" "${PROGRAM:-$PREFIX/bin/vantrel}" >"$E2E_DIR/stdout" 2>"$E2E_DIR/stderr" &
  VANTREL_PID=$!
  E2E_PIDS+=("$VANTREL_PID")
  wait_for 30 "a tooltip line" grep -q $'^tooltip\t' "$E2E_DIR/stdout"
  kill -TERM "$VANTREL_PID"
  expect_clean_exit 30
}

# mode_is MODE FOLDER...
mode_is() {
  local mode=$1 folder
  shift
  for folder in "$@"; do
    [ "$(stat -c %a "$folder")" = "$mode" ] || fail "$folder has mode $(stat -c %a "$folder"), expected $mode"
  done
}

mkdir "$HOME_DIR"
run_installed
[ "$(wc -l <"$HOME_DIR/.config/vantrel/Vantrel.ini")" -eq 21 ] || fail "no Vantrel.ini of 21 lines in ~/.config/vantrel"
mode_is 700 "$HOME_DIR/.config" "$HOME_DIR/.config/vantrel"

# A relative XDG_CONFIG_HOME is no folder to go by. The default log goes
# beside the settings.
printf '[Base]\r\nwritelogfile=1\r\nintervalsec=1\r\n' >"$HOME_DIR/.config/vantrel/Vantrel.ini"
run_installed XDG_CONFIG_HOME=relative/config
[ -s "$HOME_DIR/.config/vantrel/cpuusagelog.txt" ] || fail "no usage log in ~/.config/vantrel"
[ ! -e "$HOME_DIR/relative" ] || fail "a relative XDG_CONFIG_HOME was used"

mkdir "$E2E_DIR/xdg"
run_installed XDG_CONFIG_HOME="$E2E_DIR/xdg/config"
[ "$(wc -l <"$E2E_DIR/xdg/config/vantrel/Vantrel.ini")" -eq 21 ] || fail "no Vantrel.ini in \$XDG_CONFIG_HOME/vantrel"
mode_is 700 "$E2E_DIR/xdg/config" "$E2E_DIR/xdg/config/vantrel"
chmod 755 "$HOME_DIR/.config/vantrel"
run_installed
mode_is 755 "$HOME_DIR/.config/vantrel"
run_installed HOME="$E2E_DIR/no-home"
[ ! -e "$E2E_DIR/no-home" ] || fail "a missing home was made"
touch "$E2E_DIR/config-file"
run_installed XDG_CONFIG_HOME="$E2E_DIR/config-file"
[ -f "$E2E_DIR/config-file" ] || fail "the file in the place of the configuration folder was replaced"
mkdir -p "$E2E_DIR/copy/bin" "$E2E_DIR/copy/share/applications/$ID.desktop"
cp "$PREFIX/bin/vantrel" "$E2E_DIR/copy/bin/"
PROGRAM="$E2E_DIR/copy/bin/vantrel" run_installed
[ "$(wc -l <"$E2E_DIR/copy/bin/Vantrel.ini")" -eq 21 ] || fail "no Vantrel.ini beside a copy that is not installed"

# A launcher's action on a bus that starts programs from the prefix's
# service files: the program comes up, takes the action (here its exit) and
# saves its settings.
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_CONFIG_HOME
rm "$HOME_DIR/.config/vantrel/Vantrel.ini"
HOME="$HOME_DIR" start_session_bus "$PREFIX/share/dbus-1/services"
gdbus call --session --dest $ID --object-path /org/vantrel/Vantrel \
  --method org.freedesktop.Application.ActivateAction quit '[]' '{}' >/dev/null || fail "ActivateAction quit"
wait_for 30 "the activated program to end" eval '! bus_has_name $ID'
[ "$(wc -l <"$HOME_DIR/.config/vantrel/Vantrel.ini")" -eq 21 ] || fail "the activated program saved no Vantrel.ini"

new=$(find "$PREFIX" -newer "$E2E_DIR/installed")
[ -z "$new" ] || fail "new in the prefix: $new"
echo "PASS"
