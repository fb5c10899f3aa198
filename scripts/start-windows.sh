#!/usr/bin/env bash
# Builds the Windows program and its zip (build/windows/vantrel.exe and
# build/windows/vantrel-*-win64.zip), then starts it under Wine on this
# desktop, from a folder of its own (build/windows/try) where its
# Vantrel.ini and usage log go. Wine's prefix is build/windows/wine; as root,
# Wine runs the program as the user nobody.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --workflow --preset windows
mkdir -p build/windows/try
cp build/windows/vantrel.exe build/windows/try/
chmod -R a+rwX build/windows/try
cd build/windows/try
exec ../../../tests/win32/wine_run.sh "$PWD/../wine" "$PWD/vantrel.exe"
