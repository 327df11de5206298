#!/usr/bin/env bash
# Runs a test program inside a private Xvfb server.
set -euo pipefail
program=$1; shift
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$program" "$@"
