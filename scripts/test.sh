#!/usr/bin/env bash
# Installs the dependencies, builds ZORP-II and runs the whole test suite:
# once in the normal build, then once more built with AddressSanitizer and
# UndefinedBehaviorSanitizer (set ZORP_SKIP_SANITIZERS=1 to skip that pass).
# Between the two, the Debian package is made from the normal build and
# checked unpacked in a clean folder (scripts/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

bash scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== The Debian package, unpacked and run from a clean folder"
bash scripts/check-package.sh --build

if [ "${ZORP_SKIP_SANITIZERS:-0}" != 1 ]; then
  echo "== The same suite under AddressSanitizer and UndefinedBehaviorSanitizer"
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORP_SANITIZE=ON >/dev/null
  cmake --build build-asan -j "$(nproc)"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # Leaks inside the system's Qt, font and graphics libraries are theirs.
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
fi
