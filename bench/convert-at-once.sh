#!/usr/bin/env bash
# Wall time of `lumaret-cli convert` on ten 5-second 640x480 clips with the default profile, one
# file at a time (--jobs 1) against two at once (--jobs 2), measured in one run of each.
# Goal on a machine with two processors: the two-at-once batch takes <= 0.6 x the one-at-a-time batch.
# The same encoder arguments run directly, one at a time and as many at once, show what this
# machine gives two encoders at all (on shared virtual processors it is often far from 0.5); the
# difference between the two ratios is Lumaret's own, mostly the media probe of every file.
# Usage: bench/convert-at-once.sh [BUILD_FOLDER]
#   LUMARET_BENCH_JOBS=2 (files at once for the second batch), LUMARET_BENCH_CLIPS=10
set -euo pipefail
source "$(dirname "$0")/script-setup.sh" "${1:-build}" one many direct
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
# The encoders as lumaret-cli would start them, run directly by xargs, COUNT at a time.
for ((c = 0; c < clip_count; c++)); do
  "$cli" command --output-dir "$work/direct" "${clips[c]}" | sed '1,2d' > "$work/argv$c"
done
direct() {
  local count=$1 t0 t1
  rm -f "$work"/direct/*
  t0=$(now)
  printf '%s\n' "$work"/argv* | xargs -P "$count" -I{} sh -c 'xargs -d "\n" -a "$1" sh -c '"'"'"$0" "$@" > /dev/null 2>&1'"'"'' _ {}
  t1=$(now)
  [ "$(find "$work/direct" -type f -size +0 | wc -l)" = "$clip_count" ] ||
    { echo "convert-at-once: the encoders run directly did not write every file" >&2; exit 1; }
  calc "$t1 - $t0"
}
one=$(batch 1 "$work/one")
many=$(batch "$jobs" "$work/many")
direct_one=$(direct 1)
direct_many=$(direct "$jobs")
printf '  one file at a time:     %.3f s (encoders run directly: %.3f s)\n' "$one" "$direct_one"
printf '  %d files at once:        %.3f s (encoders run directly: %.3f s)\n' "$jobs" "$many" "$direct_many"
printf '  wall-time ratio:        %.3f (goal <= 0.6); encoders run directly: %.3f\n' \
       "$(calc "$many / $one")" "$(calc "$direct_many / $direct_one")"
echo "load average at the end: $(load)"
