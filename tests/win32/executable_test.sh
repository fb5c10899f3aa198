#!/usr/bin/env bash
# The Windows executable as it is shipped: one file that needs no DLL
# beyond those of Windows itself, calls the system services in their ANSI
# variants, and carries icon 105, the dialogs 192 and 193, its version (the
# build's, in the Japanese string table) and its manifest.
#
#   VANTREL_VERSION_TEXT=1.2β1 executable_test.sh VANTREL_EXE
set -euo pipefail
exe=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

imports=$(x86_64-w64-mingw32-objdump -p "$exe")
dlls=$(sed -n 's/^\tDLL Name: //p' <<<"$imports" | tr '[:upper:]' '[:lower:]' | sort -u | tr '\n' ' ')
for dll in $dlls; do
  case $dll in
    kernel32.dll | user32.dll | gdi32.dll | shell32.dll | comctl32.dll | comdlg32.dll | pdh.dll | msvcrt.dll) ;;
    *) fail "needs $dll, which Windows does not have" ;;
  esac
done
for fn in Shell_NotifyIconA DialogBoxParamA GetSaveFileNameA GetPrivateProfileStringA \
  WritePrivateProfileStringA CreateToolhelp32Snapshot PdhAddCounterA PdhAddEnglishCounterA; do
  grep -qw "$fn" <<<"$imports" || fail "does not import $fn"
done

resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>/dev/null)
for resource in '^105 14 ' '^1 3 ' '^192 DIALOG ' '^193 DIALOG ' '^1 VERSIONINFO' '^1 24 '; do
  grep -q "$resource" <<<"$resources" || fail "no resource matching '$resource'"
done
# The decompiler writes a text with other than ASCII as L"...", each such
# character as \xHHHH.
value() {
  local v
  v=$(sed -n '/BLOCK "041104B0"/,/END/s/^ *VALUE "'"$1"'", L\{0,1\}"\(.*\)"$/\1/p' <<<"$resources")
  printf '%b' "${v//\\x/\\u}"
}
[ "$(value ProductVersion)" = "${VANTREL_VERSION_TEXT:?}" ] || fail "ProductVersion is '$(value ProductVersion)'"
[ "$(value ProductName)" = Vantrel ] || fail "ProductName is '$(value ProductName)'"
echo "PASS: $(stat -c %s "$exe") bytes, needs $dlls"
