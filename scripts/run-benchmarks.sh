#!/usr/bin/env bash
# Runs every benchmark program of a build folder, and the benchmark scripts in bench/.
set -euo pipefail
build=${1:-build}
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
for s in bench/*.sh; do
  [ -x "$s" ] || continue
  echo "== $s"
  "$s" "$build"
done
