#!/usr/bin/env bash
# The Windows installer that cpack makes from this build, under Wine in a
# prefix of the test's own, made anew: a silent install puts the program, its
# Start-menu and Startup shortcuts and its entry in the user's list of
# installed programs in place, and leaves another program's window of the
# class "Vantrel" alone; the installed program starts and, asked to close
# by the next install over it, saves its 21-line settings file beside
# itself; a copy that does not answer (a suspended process) makes a silent
# install fail with exit code 3 after its 10 seconds, not minutes; an
# install over a copy with changed settings keeps them; a silent uninstall
# closes the running program and removes the program, the shortcuts and the
# entry, and keeps the settings. A folder whose name code page 932 cannot
# hold (José) is installed into by its short form, and the program there,
# started by its long name, keeps its settings in it; a new folder of such a
# name makes a silent install fail with exit code 4.
#
#   install.sh WINE_PREFIX BUILD_DIR
WINE_PREFIX=$1 BUILD_DIR=$2
source "$(dirname "$0")/lib.sh"
VANTREL_EXE=$BUILD_DIR/vantrel.exe
cpack -G NSIS --config "$BUILD_DIR/CPackConfig.cmake" -B "$E2E_DIR/out" >"$E2E_DIR/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$E2E_DIR/cpack.log")"
SETUP=$E2E_DIR/out/vantrel-${VANTREL_VERSION_FILE:?}-win64-setup.exe
[ -f "$SETUP" ] || fail "no $(basename "$SETUP"): $(ls "$E2E_DIR/out")"

wine_run --new-prefix
start_wine_desktop
PROBE=$BUILD_DIR/tests/win32/vantrel_probe.exe
(exec "$WINE_RUN" "$WINE_PREFIX" "$PROBE" stranger >"$E2E_DIR/stranger") &
E2E_PIDS+=($!)
wait_for 60 "the other program's window" grep -sqx ready "$E2E_DIR/stranger"

# A folder of the prefix user's as a Unix path.
unix_path() { wine_run winepath -u "$(wine_run cmd /c "echo $1" | tr -d '\r')" | tr -d '\r'; }
INSTDIR=$(unix_path '%LOCALAPPDATA%\Programs\Vantrel')
PROGRAMS=$(unix_path '%APPDATA%\Microsoft\Windows\Start Menu\Programs')
KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel'
WIN_INSTDIR=$(wine_run cmd /c 'echo %LOCALAPPDATA%\Programs\Vantrel' | tr -d '\r')

install_silently() { wine_run "$SETUP" /S "$@" || fail "the silent install ended with $?"; }
# The uninstall entry's values; nothing when there is none.
entry() {
  local values
  values=$(wine_run reg query "$KEY" 2>/dev/null) || return 0
  iconv -f CP932 -t UTF-8 <<<"$values" | tr -d '\r'
}
# The shortcut in FOLDER (the Startup folder is StartUp on disk).
shortcut() { find "$PROGRAMS" -maxdepth 2 -ipath "$PROGRAMS/$1" 2>/dev/null; }
start_installed_program() {
  (exec "$WINE_RUN" "$WINE_PREFIX" "${1:-$INSTDIR}/vantrel.exe" >/dev/null 2>&1) &
  VANTREL_PID=$!
  E2E_PIDS+=("$VANTREL_PID")
  wait_for 60 "the installed program's icon" wine_icon_docked
}
settings() { tr -d '\r' <"${1:-$INSTDIR}/Vantrel.ini"; }
is_saved_settings() {
  [ "$(settings "$@" | wc -l)" -eq 21 ] && [ "$(settings "$@" | head -n1)" = "[Base]" ] &&
    [ "$(settings "$@" | tail -n1)" = 'logfilename=""' ]
}

install_silently
cmp "$INSTDIR/vantrel.exe" "$VANTREL_EXE" || fail "no vantrel.exe of this build in $INSTDIR"
for file in README.txt Uninstall.exe; do [ -f "$INSTDIR/$file" ] || fail "no $file in $INSTDIR"; done
for link in Vantrel.lnk Startup/Vantrel.lnk; do
  [ -n "$(shortcut $link)" ] || fail "no shortcut $link in $PROGRAMS"
  grep -aqF "$WIN_INSTDIR\\vantrel.exe" "$(shortcut $link)" || fail "$link does not point at the installed program"
done
listed=$(entry)
for value in "DisplayName    REG_SZ    Vantrel" "DisplayVersion    REG_SZ    $VANTREL_VERSION_TEXT" \
  "DisplayIcon    REG_SZ    $WIN_INSTDIR\\vantrel.exe,0" "Publisher    REG_SZ    Vantrel 開発チーム" \
  "InstallLocation    REG_SZ    $WIN_INSTDIR" "UninstallString    REG_SZ    \"$WIN_INSTDIR\\Uninstall.exe\"" \
  "QuietUninstallString    REG_SZ    \"$WIN_INSTDIR\\Uninstall.exe\" /S"; do
  grep -qxF "    $value" <<<"$listed" || fail "the uninstall entry lacks '$value': $listed"
done
size=$(($(du -cb "$INSTDIR"/* | tail -n1 | cut -f1) / 1024))
[[ $listed =~ EstimatedSize\ +REG_DWORD\ +0x([0-9a-f]+) ]] && (((0x${BASH_REMATCH[1]} - size) ** 2 < 100)) ||
  fail "the uninstall entry does not give the folder's $size KB: $listed"

# The program as installed, suspended: it holds its file and answers
# nothing. A silent install gives up after 10 seconds with its exit code.
start_installed_program
hung=$(wine_process_of "$VANTREL_PID" vantrel.exe) || fail "no process of the installed program"
kill -STOP "$hung"
began=$(date +%s%N)
status=0
timeout 120 "$WINE_RUN" "$WINE_PREFIX" "$SETUP" /S || status=$?
held=$((($(date +%s%N) - began) / 1000000))
# runuser stopped itself with its child, and resumes it.
kill -CONT "$(ps -o ppid= -p "$hung")"
[ "$status" -eq 3 ] || fail "a silent install over a copy that does not answer ended with $status, expected 3"
((held >= 10000 && held < 40000)) || fail "the install gave up after $held ms, expected 10 s"
echo "a copy that does not answer held a silent install for $held ms"

# Running again, it is asked to close by the next install, and it saves.
install_silently
expect_clean_exit 30
is_saved_settings || fail "Vantrel.ini is not the 21 lines of a save: $(settings)"

# Changed settings survive an install over the copy.
# (Written in place: the file stays the prefix user's.)
sed 's/^allusage=95\r$/allusage=90\r/' "$INSTDIR/Vantrel.ini" >"$E2E_DIR/changed.ini"
cat "$E2E_DIR/changed.ini" >"$INSTDIR/Vantrel.ini"
install_silently
grep -q '^allusage=90' "$INSTDIR/Vantrel.ini" || fail "the install over the copy lost the settings: $(settings)"

# The uninstaller closes the running program and takes away all but the
# settings (it runs on from a copy of its own: wait for what it does).
start_installed_program
wine_run "$INSTDIR/Uninstall.exe" /S
expect_clean_exit 30
uninstalled() {
  [ ! -e "$INSTDIR/vantrel.exe" ] && [ ! -e "$INSTDIR/Uninstall.exe" ] && [ ! -e "$INSTDIR/README.txt" ] &&
    [ -z "$(shortcut Vantrel.lnk)$(shortcut Startup/Vantrel.lnk)" ] && [ -z "$(entry)" ]
}
wait_for 60 "the uninstall to remove the program, its shortcuts and its entry" uninstalled
[ "$(ls "$INSTDIR")" = Vantrel.ini ] || fail "the folder holds $(ls "$INSTDIR"), expected only Vantrel.ini"
grep -q '^allusage=90' "$INSTDIR/Vantrel.ini" || fail "the uninstall changed the settings: $(settings)"

# A folder that code page 932 cannot name: it is installed into under its
# short form, the name the installer records too.
HOME_DIR=$(unix_path '%USERPROFILE%')
WIN_HOME=$(wine_run cmd /c 'echo %USERPROFILE%' | tr -d '\r')
mkdir "$HOME_DIR/José"
chown --reference="$HOME_DIR" "$HOME_DIR/José"
install_silently "/D=$WIN_HOME\\José\\Vantrel"
[ -f "$HOME_DIR/José/Vantrel/vantrel.exe" ] || fail "nothing installed into José\\Vantrel"
location=$(entry | sed -n 's/^    InstallLocation    REG_SZ    //p')
[[ $location == "$WIN_HOME\\"*'\Vantrel' ]] &&
  [ "$(realpath -e "$(wine_run winepath -u "$location" | tr -d '\r')")" = "$(realpath "$HOME_DIR/José/Vantrel")" ] ||
  fail "the recorded folder is '$location', not the short form of José\\Vantrel"
# The program there, started by its long name, saves beside itself.
start_installed_program "$HOME_DIR/José/Vantrel"
install_silently "/D=$WIN_HOME\\José\\Vantrel"
expect_clean_exit 30
is_saved_settings "$HOME_DIR/José/Vantrel" || fail "the program in José\\Vantrel saved no settings there"
status=0
wine_run "$SETUP" /S "/D=$WIN_HOME\\Ñoño\\Vantrel" || status=$?
[ "$status" -eq 4 ] || fail "a silent install into a new folder the code page cannot name ended with $status"
[ ! -e "$HOME_DIR/Ñoño" ] || fail "that install made its folder"

got=$(grep -vx ready "$E2E_DIR/stranger" || true)
[ -z "$got" ] || fail "the other program's window got messages meant for Vantrel: $got"
echo "PASS: $(stat -c %s "$SETUP") bytes"
