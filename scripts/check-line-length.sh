#!/usr/bin/env bash
# Lists every line of the project's C++ files (*.h, *.cpp under git) longer than the limit,
# counted in characters, not bytes, so that a Chinese text counts as wide as it reads, and exits
# non-zero when there is any.
#
# Usage: scripts/check-line-length.sh [LIMIT]   (120 unless given)
set -euo pipefail
cd "$(dirname "$0")/.."
limit=${1:-120}

git ls-files -z -- '*.h' '*.cpp' | python3 -c '
import sys
limit = int(sys.argv[1])
count = 0
for path in sys.stdin.read().split("\0"):
    if not path:
        continue
    with open(path, encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            width = len(line.rstrip("\r\n"))
            if width > limit:
                count += 1
                print(f"{path}:{number}: {width} characters")
if count:
    print(f"check-line-length: {count} lines longer than {limit} characters", file=sys.stderr)
    sys.exit(1)
print(f"check-line-length: no line longer than {limit} characters")
' "$limit"
