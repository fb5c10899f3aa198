#!/usr/bin/env bash
# One Vantrel at a time, on Windows under Wine. A copy in another session on
# the same settings folder (stood in for by a holder of that folder's lock,
# which names the folder in capitals) makes a start end at once with exit
# code 0 and no settings file, while a copy in another folder runs. A second
# start hands over to the running copy, which opens its settings dialog, and
# ends with exit code 0 without touching the settings; another program's
# window of the class "Vantrel" gets nothing from it or from any later
# start. A start in the moments after Exit waits for the old copy to end,
# saved, and then runs in its place with its icon and those settings.
#
#   copies.sh WINE_PREFIX VANTREL_EXE PROBE
WINE_PREFIX=$1 VANTREL_EXE=$2 PROBE=$3
source "$(dirname "$0")/lib.sh"

start_wine_desktop
install_windows_program
second_start() {
  local status=0
  timeout 60 "$WINE_RUN" "$WINE_PREFIX" "$1/vantrel.exe" || status=$?
  [ "$status" -eq 0 ] || fail "a start in $1 ended with exit code $status"
}

folder=$(wine_run winepath -w "$E2E_DIR" | tr -d '\r')
mkfifo "$E2E_DIR/hold"
exec 7<>"$E2E_DIR/hold" # the holder's input, open until it is to let go
(exec "$WINE_RUN" "$WINE_PREFIX" "$(realpath "$PROBE")" hold-lock "${folder^^}" <"$E2E_DIR/hold" >"$E2E_DIR/held" 7>&-) &
HOLDER=$!
E2E_PIDS+=("$HOLDER")
wait_for 30 "the other session's lock on the folder" grep -sqx held "$E2E_DIR/held"
second_start "$E2E_DIR"
[ ! -e "$E2E_DIR/Vantrel.ini" ] || fail "a start on another session's folder wrote Vantrel.ini"
mkdir "$E2E_DIR/other"
cp "$VANTREL_EXE" "$E2E_DIR/other/vantrel.exe"
PROGRAM_NAME=other/vantrel.exe start_windows_program
wait_for 60 "the icon of a copy in another folder" wine_icon_docked
wine_run taskkill /im vantrel.exe >/dev/null
expect_clean_exit 30
[ -e "$E2E_DIR/other/Vantrel.ini" ] || fail "the copy in another folder saved nothing"
exec 7>&-
wait "$HOLDER"

start_windows_program
wait_for 60 "the icon to dock" wine_icon_docked
# Made after the program's window, so the first of the class to be found.
(exec "$WINE_RUN" "$WINE_PREFIX" "$(realpath "$PROBE")" stranger >"$E2E_DIR/stranger") &
E2E_PIDS+=($!)
wait_for 30 "the other program's window" grep -sqx ready "$E2E_DIR/stranger"

second_start "$E2E_DIR"
wait_for 20 "the settings dialog" wine_window_shown "設定"
[ ! -e "$E2E_DIR/Vantrel.ini" ] || fail "a second start wrote Vantrel.ini"
focus_wine_window "設定"
xdotool key Escape
wait_for 20 "the settings dialog to close" wine_window_gone "設定"

# The overall warning off; then Exit, and a start right after it, made by
# the probe (a start from a shell takes about as long as the exit does).
choose_wine_menu_item 2
(exec "$WINE_RUN" "$WINE_PREFIX" "$(realpath "$PROBE")" exit-and-start "$folder\vantrel.exe") &
NEW_PID=$!
E2E_PIDS+=("$NEW_PID")
expect_clean_exit 30
[ "$(setting allenable)" = 0 ] || fail "the copy that was asked to exit did not save: $(settings_text)"
VANTREL_PID=$NEW_PID
runs_or_ended() { probe running || program_ended; }
wait_for 60 "the start that came during Exit to run" runs_or_ended
if program_ended; then
  status=0
  wait "$NEW_PID" || status=$?
  fail "the start that came during Exit ended with exit code $status (3: the old copy took it)"
fi
wait_for 60 "its icon" wine_icon_docked
wine_run taskkill /im vantrel.exe >/dev/null
expect_clean_exit 30
[ "$(setting allenable)" = 0 ] || fail "the new copy did not start from the saved settings: $(settings_text)"
got=$(grep -vx ready "$E2E_DIR/stranger" || true)
[ -z "$got" ] || fail "the other program's window got messages meant for Vantrel: $got"
echo PASS
