#!/usr/bin/env bash
# Builds the Debian package build/zorp_VERSION_ARCH.deb from the normal build
# in build/ (configured and built first when needed), then checks it: the
# installed programs, desktop-file-validate, appstreamcli and lintian.
# Install it with: apt-get install ./build/zorp_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
bash scripts/check-package.sh --build
