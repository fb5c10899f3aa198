#!/usr/bin/env bash
# The Windows program under Wine with a real notification area: its icon
# docks, the tooltip shows the total, the menu opens on a right click and
# toggles the overall warning, a restarted shell gets the icon back, and Exit
# ends the program with exit code 0 and the settings saved, once, in code
# page 932.
#
#   tray.sh WINE_PREFIX VANTREL_EXE PROBE
WINE_PREFIX=$1 VANTREL_EXE=$2 PROBE=$3
source "$(dirname "$0")/lib.sh"

start_wine_desktop
install_windows_program
start_windows_program
wait_for 60 "the icon to dock in the notification area" wine_icon_docked

# The pointer comes to rest on the icon again and again, until the tooltip
# that then appears shows the total of a first cycle.
tooltip_shows_total() {
  xdotool mousemove 500 500 mousemove --window "$(wine_icon_window)" 10 10
  local deadline=$((SECONDS + 3))
  while [ "$SECONDS" -lt "$deadline" ]; do
    [[ $(probe tooltip) =~ ^Vantrel\ \[\ [0-9]+%\ \]$ ]] && return 0
  done
  return 1
}
wait_for 30 "the tooltip 'Vantrel [ n% ]'" tooltip_shows_total

# The second item below the first is the overall warning's switch.
choose_wine_menu_item 2

# The shell loses the icon, restarts and says so: the icon comes back.
probe drop-icon || fail "the icon could not be taken out"
wait_for 20 "the icon to leave" wine_icon_gone
probe taskbar-created || fail "no program window to tell"
wait_for 20 "the icon to come back" wine_icon_docked

choose_wine_menu_item 6 # Exit
expect_clean_exit 30

cmp <(saved_defaults 0 | sed 's/$/\r/' | iconv -f UTF-8 -t CP932) "$E2E_DIR/Vantrel.ini" ||
  fail "Vantrel.ini is not the 21 lines expected: $(settings_text)"
echo PASS
