#!/usr/bin/env bash
# Retakes the pictures of the program in whole desktops in docs/: in KDE
# Plasma (X11), its icon in the system tray with the menu that Plasma draws,
# and a warning as Plasma's bubble; in GNOME Shell on Wayland with the
# AppIndicator extension, the icon in the top bar, a warning as GNOME's
# notification and the settings dialog with its own title bar. Run as root,
# it runs as the unprivileged user nobody, as the desktops' tests do.
#
#   scripts/screenshots-desktops.sh [path/to/vantrel]   (default: build/default/vantrel)
#
# Needs what the end-to-end tests need.
VANTREL_BIN=$(realpath "${1:-build/default/vantrel}")
HERE=$(dirname "$(realpath "$0")")
export E2E_RESULTS=${E2E_RESULTS:-$(realpath "$HERE/../docs")}
source "${E2E_LIB:-$HERE/../tests/e2e/lib.sh}"
ENTRY=$HERE/../packaging/linux/org.vantrel.Vantrel.desktop.in
rerun_unprivileged "$VANTREL_BIN" "$ENTRY"
ENTRY=${2:-$ENTRY}

# shot NAME WxH+X+Y: that part of the screen as docs/NAME.png.
shot() { import -window root -crop "$2" +repage "$E2E_RESULTS/$1.png"; }

if [ -z "${SHOT_DESKTOP:-}" ]; then
  # Each desktop on an X server and buses of its own.
  SHOT_DESKTOP=plasma bash "$0" "$VANTREL_BIN" "$ENTRY"
  SHOT_DESKTOP=gnome bash "$0" "$VANTREL_BIN" "$ENTRY"
  exit
fi

install_program
if [ "$SHOT_DESKTOP" = plasma ]; then
  start_plasma
  write_settings allusage=1 allinfoenable=0 eachenable=0 intervalsec=2
  start_program
  wait_for 30 "the icon in the tray" eval 'meter_spot 700 720 324 48 >/dev/null'
  wait_for 30 "a bubble" plasma_shows NOTIFICATION
  sleep 1
  shot plasma-notification 420x170+604+554
  spot=$(meter_spot 700 720 324 48)
  xdotool mousemove ${spot% *} ${spot#* } click 3
  wait_for 20 "Plasma's menu" plasma_shows POPUP_MENU
  sleep 1
  shot plasma-menu 320x300+704+468
else
  # The launcher's entry, so that GNOME names the program by it.
  mkdir -p "$HOME/.local/share/applications"
  sed "s|@vantrel_exec@|$E2E_DIR/vantrel|" "$ENTRY" >"$HOME/.local/share/applications/org.vantrel.Vantrel.desktop"
  start_gnome appindicator
  write_settings allusage=1 allinfoenable=0 eachenable=0 intervalsec=2
  # Only Vantrel's notifications on the screen.
  shell_eval 'Main.messageTray.getSources().forEach(s => s.destroy())' >/dev/null
  QT_QPA_PLATFORM=wayland start_program
  wait_for 30 "the icon in the top bar" eval 'meter_spot 1000 0 280 32 >/dev/null'
  ours='Main.messageTray.getSources().some(s => s.title === "Vantrel")'
  wait_for 60 "Vantrel's notification" eval '[ "$(shell_eval "$ours")" = true ]'
  spot=$(meter_spot 1000 0 280 32)
  xdotool mousemove ${spot% *} ${spot#* } click --repeat 2 --delay 120 1
  wait_for 20 "the settings dialog" gnome_focus_is 設定
  sleep 1
  shot gnome 1280x800+0+0
fi
kill "$VANTREL_PID"
