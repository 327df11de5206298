#!/usr/bin/env bash
# Starts Lumaret from a build folder. Until the main window is built this shows the command-line
# front end: its help and the profile list.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
if [ -x "$bin/lumaret" ]; then
  exec "$bin/lumaret"
fi
"$bin/lumaret-cli" --help || true
echo
exec "$bin/lumaret-cli" profiles
