#!/usr/bin/env bash
# Wall time and CPU time of `lumaret-cli convert` against the same encoder arguments run directly,
# on a batch of 20-second 640x480 clips (three by default), converted one after another in both
# cases. Goals: wall-time ratio <= 1.02 for an h264 profile and <= 1.03 for the default profile,
# whose short encodes make fixed costs show; Lumaret's own CPU time < 1 % of the encoders'. A batch
# of ten 5-second clips (LUMARET_BENCH_CLIPS=10 LUMARET_BENCH_SECONDS=5) makes them show most:
# goal <= 1.05 for the default profile.
# Usage: bench/convert-vs-ffmpeg.sh [BUILD_FOLDER]
#   LUMARET_BENCH_RUNS=5 (runs per profile), LUMARET_BENCH_CLIPS=3 (clips per batch),
#   LUMARET_BENCH_SECONDS=20 (length of each clip), LUMARET_BENCH_PROFILES=all (or "default")
set -euo pipefail
source "$(dirname "$0")/script-setup.sh" "${1:-build}" direct lumaret
runs=${LUMARET_BENCH_RUNS:-5}
clip_count=${LUMARET_BENCH_CLIPS:-3}
seconds=${LUMARET_BENCH_SECONDS:-20}
profiles=${LUMARET_BENCH_PROFILES:-all}

make_clips "$clip_count" "$seconds"

echo "clips: $clip_count x $seconds s 640x480, $runs runs per profile; load average at start: $(load)"

# The median of the arguments.
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One profile: the encoder as lumaret-cli would start it, then lumaret-cli itself (probe included),
# alternately, so that both see the same machine.
measure() {
  local profile=$1
  local -a profile_args=()
  [ -n "$profile" ] && profile_args=(--profile "$profile")
  # One file of encoder arguments per clip, one argument a line.
  for ((c = 0; c < clip_count; c++)); do
    "$cli" command "${profile_args[@]}" --output-dir "$work/direct" "${clips[c]}" | sed '1,2d' > "$work/argv$c"
  done
  local -a directs=() viaclis=() ratios=() argv
  local self_cpu=0 child_cpu=0 t0 t1 direct viacli self child
  for ((i = 0; i < runs; i++)); do
    rm -f "$work"/direct/* "$work"/lumaret/*
    t0=$(now)
    for ((c = 0; c < clip_count; c++)); do
      mapfile -t argv < "$work/argv$c"
      "${argv[@]}" > /dev/null 2>&1
    done
    t1=$(now)
    direct=$(calc "$t1 - $t0")
    t0=$(now)
    LUMARET_CLI_RUSAGE=1 "$cli" convert "${profile_args[@]}" --output-dir "$work/lumaret" "${clips[@]}" \
        > /dev/null 2> "$work/rusage"
    t1=$(now)
    viacli=$(calc "$t1 - $t0")
    directs+=("$direct"); viaclis+=("$viacli"); ratios+=("$(calc "$viacli / $direct")")
    read -r self child < <(sed -n 's/^rusage self=\([0-9.e-]*\) children=\([0-9.e-]*\)$/\1 \2/p' "$work/rusage")
    self_cpu=$(calc "$self_cpu + $self"); child_cpu=$(calc "$child_cpu + $child")
  done
  echo "profile: ${profile:-(the default profile)}"
  local goal=$2
  printf '  encoders run directly:  %.3f s per batch (median of %d)\n' "$(median "${directs[@]}")" "$runs"
  printf '  lumaret-cli convert:    %.3f s per batch (median of %d; includes the probes)\n' \
         "$(median "${viaclis[@]}")" "$runs"
  # On a shared machine the fastest run of each side is the one least disturbed by others.
  local fastest_direct fastest_cli
  fastest_direct=$(printf '%s\n' "${directs[@]}" | sort -g | head -1)
  fastest_cli=$(printf '%s\n' "${viaclis[@]}" | sort -g | head -1)
  printf '  wall-time ratio:        %.4f median of the runs, %.4f of the fastest runs (goal <= %s)\n' \
         "$(median "${ratios[@]}")" "$(calc "$fastest_cli / $fastest_direct")" "$goal"
  printf '  lumaret own CPU:        %.3f s per run; encoders (probe included): %.3f s per run\n' \
         "$(calc "$self_cpu / $runs")" "$(calc "$child_cpu / $runs")"
  printf '  own CPU / encoder CPU:  %.3f %% (goal < 1 %%)\n' "$(calc "100 * $self_cpu / $child_cpu")"
}

# The default profile is a quick encode, where the fixed cost of the probe shows; the second keeps
# the clip's 640x480 frame.
if [ "$clip_count" -ge 10 ]; then measure "" 1.05; else measure "" 1.03; fi
[ "$profiles" = default ] || measure "mp4 hd 640x480 h264" 1.02
echo "load average at the end: $(load)"
