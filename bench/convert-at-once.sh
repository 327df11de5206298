#!/usr/bin/env bash
# Wall time of `lumaret-cli convert` on ten 5-second 640x480 clips with the default profile, one
# file at a time (--jobs 1) against two at once (--jobs 2), measured in one run of each.
# Goal on a machine with two processors: the two-at-once batch takes <= 0.6 x the one-at-a-time batch.
# Usage: bench/convert-at-once.sh [BUILD_FOLDER]
#   LUMARET_BENCH_JOBS=2 (files at once for the second batch), LUMARET_BENCH_CLIPS=10
set -euo pipefail
source "$(dirname "$0")/script-setup.sh" "${1:-build}" one many
jobs=${LUMARET_BENCH_JOBS:-2}
clip_count=${LUMARET_BENCH_CLIPS:-10}
processors=$(nproc)
if [ "$jobs" -gt "$processors" ]; then
  echo "convert-at-once: $jobs files at once need $jobs processors, this machine has $processors; skipped"
  exit 0
fi

make_clips "$clip_count" 5

echo "clips: $clip_count x 5 s 640x480, default profile, $processors processors; load average at start: $(load)"

# One batch; every file must come out converted, or the figure means nothing.
batch() {
  local count=$1 folder=$2 t0 t1
  t0=$(now)
  "$cli" convert --jobs "$count" --output-dir "$folder" "${clips[@]}" > "$work/result" 2>&1 ||
    { cat "$work/result"; echo "convert-at-once: the batch with --jobs $count failed" >&2; exit 1; }
  t1=$(now)
  [ "$(grep -c '^done ' "$work/result")" = "$clip_count" ] ||
    { cat "$work/result"; echo "convert-at-once: not every file was converted" >&2; exit 1; }
  calc "$t1 - $t0"
}
one=$(batch 1 "$work/one")
many=$(batch "$jobs" "$work/many")
printf '  one file at a time:     %.3f s\n' "$one"
printf '  %d files at once:        %.3f s\n' "$jobs" "$many"
printf '  wall-time ratio:        %.3f (goal <= 0.6)\n' "$(calc "$many / $one")"
echo "load average at the end: $(load)"
