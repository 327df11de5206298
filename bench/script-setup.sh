# Sourced by the script benchmarks: a private data and settings folder under a scratch folder that
# goes at exit, the command-line program of the build, and clips that are no copies of each other.
# Usage: source bench/script-setup.sh BUILD_FOLDER FOLDER...   (FOLDER...: made under $work)
build=${1:-build}
shift || true
cli=$(cd "$build/bin" && pwd)/lumaret-cli
work=$(mktemp -d /tmp/lumaret-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT
export LUMARET_DATA_DIR=$work/data LUMARET_CONFIG_DIR=$work/config
mkdir -p "$work/data" "$work/config"
for folder in "$@"; do mkdir -p "$work/$folder"; done

# make_clips COUNT SECONDS: COUNT 640x480 clips of SECONDS each into the array `clips`, with
# different pictures, hues and tones.
make_clips() {
  local sources=(testsrc testsrc2 smptebars smptehdbars rgbtestsrc yuvtestsrc pal75bars pal100bars)
  local c clip
  clips=()
  for ((c = 0; c < $1; c++)); do
    clip=$work/clip$((c + 1)).mp4
    ffmpeg -v error -y -f lavfi -i "${sources[c % ${#sources[@]}]}=size=640x480:rate=25:duration=$2" \
           -f lavfi -i "sine=frequency=$((440 + 55 * c)):duration=$2" \
           -vf "hue=h=$((36 * c))" -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest "$clip"
    clips+=("$clip")
  done
}

# The machine may be shared: the load before and after says how far to trust the figures.
load() { cut -d' ' -f1-3 /proc/loadavg; }
now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }
