#!/usr/bin/env bash
# Starts Lumaret from a build folder on the user's display. Without a display the program says so
# in one line and ends.
set -euo pipefail
build=${1:-build}
exec "$build/bin/lumaret" "${@:2}"
