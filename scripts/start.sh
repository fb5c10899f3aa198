#!/usr/bin/env bash
# Builds Vantrel and starts it. Without a display (or without a notification
# area) it runs in the terminal and prints the tooltip and balloons there.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default
cmake --build --preset default -j "${VANTREL_JOBS:-2}" --target vantrel
exec build/default/vantrel
