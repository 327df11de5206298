#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the program's own sources: every .cpp of the
# base, platform, engine, controls, pages, uninstaller and tools, and the project headers they
# include. Tests and benchmarks are left out to keep the run short; they are built with -Werror.
#
# Usage: scripts/run-lint.sh BUILD_DIR [JOBS]
# BUILD_DIR must hold compile_commands.json of a full (not engine-only) configure. Fails when
# clang-tidy reports anything, printing each finding once.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:?usage: run-lint.sh BUILD_DIR [JOBS]}
jobs=${2:-$(nproc)}
database="$build/compile_commands.json"
if [ ! -f "$database" ]; then
  echo "run-lint: $database is missing; configure the build first" >&2
  exit 2
fi
tidy=$(command -v clang-tidy-14 || command -v clang-tidy || true)
if [ -z "$tidy" ]; then
  echo "run-lint: clang-tidy is missing (scripts/install-deps.sh installs it)" >&2
  exit 2
fi

# Only the sources the database knows are linted: a file it lacks (say a GUI file in an
# engine-only build) would be checked with guessed flags and report nonsense.
mapfile -t sources < <(python3 - "$database" "$PWD" <<'PY'
import json, os, sys
database, root = sys.argv[1], os.path.realpath(sys.argv[2])
folders = ("kxlib", "platform", "profile", "convert", "app", "uninstall", "tools")
seen = set()
for entry in json.load(open(database)):
    path = os.path.realpath(os.path.join(entry["directory"], entry["file"]))
    relative = os.path.relpath(path, root)
    if relative.split(os.sep)[0] in folders and relative.endswith(".cpp") and relative not in seen:
        seen.add(relative)
        print(relative)
PY
)
echo "run-lint: clang-tidy over ${#sources[@]} files with $jobs jobs"

report=$(mktemp)
trap 'rm -f "$report"' EXIT
status=0
printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$jobs" "$tidy" -p "$build" --quiet >"$report" 2>/dev/null || status=$?

# A header's finding is reported by every file that includes it; print each one once.
findings=$(grep -E '^[^ ].*:[0-9]+:[0-9]+: (warning|error):' "$report" | sort -u || true)
if [ "$status" -ne 0 ] || [ -n "$findings" ]; then
  if [ -n "$findings" ]; then
    echo "$findings"
    echo "run-lint: $(echo "$findings" | wc -l) findings" >&2
  else
    cat "$report"
    echo "run-lint: clang-tidy failed (status $status)" >&2
  fi
  exit 1
fi
echo "run-lint: no findings"
