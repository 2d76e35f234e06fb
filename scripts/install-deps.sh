#!/usr/bin/env bash
# Installs the Debian packages that building and testing ZORP-II needs.
# Run as root (or through sudo) on Debian 12.
set -euo pipefail
packages=(
  build-essential cmake ninja-build
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-multimedia-dev libgl-dev
  pkg-config libsndfile1-dev libsamplerate0-dev sox
  dpkg-dev librsvg2-bin lintian desktop-file-utils appstream
  imagemagick
)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
