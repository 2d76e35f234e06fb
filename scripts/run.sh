#!/usr/bin/env bash
# Installs the dependencies, builds ZORP-II and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
exec ./build/bin/zorp "$@"
