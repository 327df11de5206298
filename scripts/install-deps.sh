#!/usr/bin/env bash
# Installs what Lumaret needs to build, run and test from Debian's packages.
# As root it installs whatever is missing with apt; otherwise it names the packages and the
# `sudo apt-get install` line to run, and fails if anything is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang clang-tidy clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  ffmpeg mencoder
  xvfb xauth xdotool fonts-wqy-microhei fontconfig python3
  dbus
  trayer
  desktop-file-utils libxml2-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
else
  echo "Lumaret needs these Debian packages: ${missing[*]}" >&2
  echo "Run: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
