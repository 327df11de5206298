#!/usr/bin/env bash
# Wall time and CPU time of `lumaret-cli convert` against the same encoder arguments run directly,
# on a 20-second 640x480 clip. Goals: wall-time ratio <= 1.02; Lumaret's own CPU time <= 1 % of the
# encoders'. Usage: bench/convert-vs-ffmpeg.sh [BUILD_FOLDER]   (LUMARET_BENCH_RUNS=5 by default)
set -euo pipefail
build=${1:-build}
cli=$(cd "$build/bin" && pwd)/lumaret-cli
work=$(mktemp -d /tmp/lumaret-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export LUMARET_DATA_DIR=$work/data LUMARET_CONFIG_DIR=$work/config
mkdir -p "$work/data" "$work/config" "$work/direct" "$work/lumaret"
runs=${LUMARET_BENCH_RUNS:-5}

clip=$work/clip.mp4
ffmpeg -v error -y -f lavfi -i testsrc=size=640x480:rate=25:duration=20 -f lavfi -i sine=duration=20 \
       -c:v libx264 -preset ultrafast -c:a aac -shortest "$clip"

now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
# The median of the arguments.
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One profile: the encoder as lumaret-cli would start it, then lumaret-cli itself (probe included),
# alternately, so that both see the same machine.
measure() {
  local profile=$1
  local -a profile_args=()
  [ -n "$profile" ] && profile_args=(--profile "$profile")
  local -a argv
  mapfile -t argv < <("$cli" command "${profile_args[@]}" --output-dir "$work/direct" "$clip" | sed '1,2d')
  local -a directs=() viaclis=() ratios=()
  local self_cpu=0 child_cpu=0 t0 t1 direct viacli self child
  for ((i = 0; i < runs; i++)); do
    rm -f "$work"/direct/* "$work"/lumaret/*
    t0=$(now); "${argv[@]}" > /dev/null 2>&1; t1=$(now)
    direct=$(calc "$t1 - $t0")
    t0=$(now)
    LUMARET_CLI_RUSAGE=1 "$cli" convert "${profile_args[@]}" --output-dir "$work/lumaret" "$clip" \
        > /dev/null 2> "$work/rusage"
    t1=$(now)
    viacli=$(calc "$t1 - $t0")
    directs+=("$direct"); viaclis+=("$viacli"); ratios+=("$(calc "$viacli / $direct")")
    read -r self child < <(sed -n 's/^rusage self=\([0-9.e-]*\) children=\([0-9.e-]*\)$/\1 \2/p' "$work/rusage")
    self_cpu=$(calc "$self_cpu + $self"); child_cpu=$(calc "$child_cpu + $child")
  done
  echo "profile: ${profile:-(the default profile)}"
  printf '  encoder run directly:   %.3f s (median of %d)\n' "$(median "${directs[@]}")" "$runs"
  printf '  lumaret-cli convert:    %.3f s (median of %d; includes the probe)\n' "$(median "${viaclis[@]}")" "$runs"
  printf '  wall-time ratio:        %.4f median of the runs, %.4f best (goal <= 1.02)\n' \
         "$(median "${ratios[@]}")" "$(printf '%s\n' "${ratios[@]}" | sort -g | head -1)"
  printf '  lumaret own CPU:        %.3f s per run; encoders (probe included): %.3f s per run\n' \
         "$(calc "$self_cpu / $runs")" "$(calc "$child_cpu / $runs")"
  printf '  own CPU / encoder CPU:  %.3f %% (goal <= 1 %%)\n' "$(calc "100 * $self_cpu / $child_cpu")"
}

# The default profile is a quick encode, where the fixed cost of the probe shows; the second keeps
# the clip's 640x480 frame.
measure ""
measure "mp4 hd 640x480 h264"
