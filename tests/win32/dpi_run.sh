#!/usr/bin/env bash
# Runs a Windows program of the build in a Wine prefix set to a DPI (Wine
# reads it from LogPixels in HKCU\Control Panel\Desktop when a session
# starts), with that DPI in VANTREL_EXPECTED_DPI:
#
#   dpi_run.sh PREFIX DPI PROGRAM [ARGUMENTS...]
set -euo pipefail
prefix=$1 dpi=$2
shift 2
run=$(dirname "$0")/wine_run.sh
"$run" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
"$run" "$prefix" --end-session
VANTREL_EXPECTED_DPI=$dpi "$run" "$prefix" "$@"
