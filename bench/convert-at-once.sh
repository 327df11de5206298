#!/usr/bin/env bash
# Wall time of `lumaret-cli convert` on ten 5-second 640x480 clips with the default profile, one
# file at a time (--jobs 1) against two at once (--jobs 2), measured in one run of each.
# Goal on a machine with two processors: the two-at-once batch takes <= 0.6 x the one-at-a-time batch.
# Usage: bench/convert-at-once.sh [BUILD_FOLDER]
#   LUMARET_BENCH_JOBS=2 (files at once for the second batch), LUMARET_BENCH_CLIPS=10
set -euo pipefail
build=${1:-build}
cli=$(cd "$build/bin" && pwd)/lumaret-cli
work=$(mktemp -d /tmp/lumaret-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export LUMARET_DATA_DIR=$work/data LUMARET_CONFIG_DIR=$work/config
mkdir -p "$work/data" "$work/config" "$work/one" "$work/many"
jobs=${LUMARET_BENCH_JOBS:-2}
clip_count=${LUMARET_BENCH_CLIPS:-10}
processors=$(nproc)
if [ "$jobs" -gt "$processors" ]; then
  echo "convert-at-once: $jobs files at once need $jobs processors, this machine has $processors; skipped"
  exit 0
fi

# Different pictures, hues and tones, so that no encode is a copy of another.
sources=(testsrc testsrc2 smptebars smptehdbars rgbtestsrc yuvtestsrc pal75bars pal100bars)
clips=()
for ((c = 0; c < clip_count; c++)); do
  clip=$work/clip$((c + 1)).mp4
  ffmpeg -v error -y -f lavfi -i "${sources[c % ${#sources[@]}]}=size=640x480:rate=25:duration=5" \
         -f lavfi -i "sine=frequency=$((440 + 55 * c)):duration=5" \
         -vf "hue=h=$((36 * c))" -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest "$clip"
  clips+=("$clip")
done

load() { cut -d' ' -f1-3 /proc/loadavg; }
now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
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
