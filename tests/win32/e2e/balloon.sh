#!/usr/bin/env bash
# A balloon of the Windows program under Wine: with the icon hidden
# (disptrayicon=0) a warning brings the icon into the notification area with
# the balloon's text, and the timer armed then by the monitoring thread takes
# the icon away again ten seconds later. The program's file name holds 表,
# whose second byte in code page 932 is a backslash: its settings file is
# still the Vantrel.ini beside it, read at start and written at a close from
# outside.
#
#   balloon.sh WINE_PREFIX VANTREL_EXE PROBE
WINE_PREFIX=$1 VANTREL_EXE=$2 PROBE=$3
source "$(dirname "$0")/lib.sh"

locale -a | grep -qix 'ja_JP.utf8' ||
  fail "the ja_JP.UTF-8 locale is not generated: Wine would mangle the file name"
start_wine_desktop
install_windows_program 表示.exe
# A warning at the first cycle; the next cycle only after the icon has gone.
write_settings disptrayicon=0 allusage=1 allinfoenable=0 eachenable=0 intervalsec=60
start_windows_program
wait_for 30 "the icon to come with the balloon" wine_icon_docked
balloon_shown() { [[ $(probe tooltip) =~ CPU使用率が\ [0-9]+%\ に達しました ]]; }
wait_for 20 "the balloon's text" balloon_shown
wait_for 20 "the icon to leave ten seconds after it came" wine_icon_gone

wine_run taskkill /im 表示.exe >/dev/null
expect_clean_exit 30
[ "$(setting allusage)" = 1 ] && [ "$(setting intervalsec)" = 60 ] || fail "the settings were not saved"
[ "$(find "$E2E_DIR" -name '*Vantrel.ini' | wc -l)" = 1 ] || fail "settings saved beside a wrong name"
echo PASS
