#!/usr/bin/env bash
# Runs a test program inside a private Xvfb server.
set -euo pipefail
program=$1; shift
# -noreset: the server otherwise resets whenever its last client leaves, and a program started
# during that reset (right after another one ended) cannot open the display.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$program" "$@"
