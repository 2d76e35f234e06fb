#!/usr/bin/env bash
# Configures and builds ZORP-II into ./build (program directory: ./build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
# The /usr prefix gives the Debian layout (lib/<multiarch>) that the package installs.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr "$@"
cmake --build build -j "$(nproc)"
