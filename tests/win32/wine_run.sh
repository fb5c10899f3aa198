#!/usr/bin/env bash
# Runs a Windows program of the build under Wine:
#
#   wine_run.sh PREFIX PROGRAM [ARGUMENTS...]
#   wine_run.sh PREFIX --end-session     ends every program of the prefix
#   wine_run.sh PREFIX --new-prefix      ends them and removes the prefix, so
#                                        that the next run makes it anew
#
# Every run uses the one Wine prefix PREFIX, made by the first run (which
# takes a while), and a wineserver that stays up between runs, so that each
# later start takes a tenth of a second. Texts are in code page 932, as on the
# Japanese systems the program is written for. Run as root, the program runs
# as the unprivileged user nobody: Wine lets root write read-only files,
# which Windows refuses to everyone.
set -euo pipefail

prefix=$1
shift

wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
[ -x "$wine" ] || { echo "wine_run.sh: Wine (wine64) is not installed" >&2; exit 127; }

as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(runuser -u nobody --)
  # nobody may not reach a tree under root's home: the prefix then lives in
  # the temporary folder, and a program outside nobody's reach runs from a
  # copy there.
  if ! runuser -u nobody -- test -x "$(dirname "$prefix")"; then
    prefix=/tmp/vantrel-wine-$(printf '%s' "$prefix" | md5sum | cut -c1-12)
  fi
  mkdir -p "$prefix"
  # A prefix made by another user cannot be used: Wine refuses it.
  if [ "$(stat -c %U "$prefix")" != nobody ]; then
    rm -rf "$prefix"
    mkdir -p "$prefix"
    chown nobody: "$prefix"
  fi
  if [ $# -gt 0 ] && [ -f "$1" ] && ! runuser -u nobody -- test -r "$1"; then
    stage=$(mktemp -d /tmp/vantrel-wine-run.XXXXXX)
    trap 'rm -rf "$stage"' EXIT
    cp "$1" "$stage/"
    chmod -R a+rX "$stage"
    set -- "$stage/$(basename "$1")" "${@:2}"
  fi
  runuser -u nobody -- test -x "$PWD" || cd /tmp
else
  mkdir -p "$prefix"
fi

# No Mono or Gecko: nothing here needs them, and their installers would ask.
as_user+=(env WINEPREFIX="$prefix" HOME="$prefix" WINEDEBUG="${WINEDEBUG:--all}"
          WINEDLLOVERRIDES="mscoree=;mshtml=;${WINEDLLOVERRIDES:-}" LC_ALL=ja_JP.UTF-8)

wineserver=$(dirname "$wine")/wineserver
if [ "${1:-}" = --new-prefix ]; then
  "${as_user[@]}" "$wineserver" -k 2>/dev/null || true
  "${as_user[@]}" "$wineserver" -w 2>/dev/null || true
  rm -rf "$prefix"
  exit 0
fi

# The first run makes the prefix; runs started meanwhile wait for it. The
# dialogs ask for the Japanese fonts of Windows: Wine is told to draw them
# with the IPA fonts of the same design (fonts-ipafont-gothic). Wine's own
# fonts (fonts-wine), the caption buttons' Marlett among them, go into the
# prefix, where Wine finds them.
make_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  "$1" wineboot --init >/dev/null 2>&1
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"ＭＳ Ｐゴシック"="IPAPGothic"' '"ＭＳ ゴシック"="IPAGothic"' \
    '"MS PGothic"="IPAPGothic"' '"MS Gothic"="IPAGothic"' '"MS UI Gothic"="IPAPGothic"' |
    iconv -f UTF-8 -t UTF-16LE | { printf '\377\376'; cat; } >"$WINEPREFIX/fonts.reg"
  "$1" regedit /S "Z:$(printf '%s' "$WINEPREFIX/fonts.reg" | tr / '\\')" >/dev/null 2>&1 || true
}
if [ ! -f "$prefix/system.reg" ]; then
  export -f make_prefix
  "${as_user[@]}" flock "$prefix/.lock" bash -c 'make_prefix "$1"' bash "$wine"
fi
if [ "${1:-}" = --end-session ]; then
  "${as_user[@]}" "$wineserver" -k 2>/dev/null || true
  "${as_user[@]}" "$wineserver" -w 2>/dev/null || true
  exit 0
fi

# Keeps the server up for 60 s after its last client. When it was not up,
# the session's background processes start with it; they must not keep the
# caller's output open (a test runner waits for its end), so they are started
# here, by a run of nothing with no output.
if "${as_user[@]}" "$wineserver" -p60 </dev/null >/dev/null 2>&1; then
  "${as_user[@]}" "$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
fi

if [ -n "${stage:-}" ]; then
  "${as_user[@]}" "$wine" "$@"
else
  exec "${as_user[@]}" "$wine" "$@"
fi
