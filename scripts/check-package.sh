#!/usr/bin/env bash
# Makes the Debian package from the finished build in build/ (CPack reuses it:
# nothing is compiled again) and checks it as a user would meet it: unpacked
# into a clean folder with dpkg -x, the installed zorptool identifies a
# synthetic Sonic 2 image, the installed zorp finds its definitions, templates
# and codec library (offscreen), and the desktop file, the AppStream file and
# the package pass their validators. --build: make the package first.
# ZORP_BUILD_DIR names another build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${ZORP_BUILD_DIR:-build}
if [ "${1:-}" = --build ]; then
  rm -f "$build"/zorp_*.deb
  (cd "$build" && cpack -G DEB >/dev/null)
fi
deb=$(ls "$build"/zorp_*.deb)
echo "== Package $deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root/pkg"
usr="$root/pkg/usr"
export XDG_DATA_HOME="$root/data" XDG_CONFIG_HOME="$root/config" QT_QPA_PLATFORM=offscreen

# A 512 KiB image whose header carries the title and serial ROM_DEF.RDEF
# gives Sonic 2, so the check follows the shipped table.
record=$(tr -d '\r' < "$usr/share/zorp/ROM_DEF.RDEF" | awk -F'|' '$3 == "S2" { print; exit }')
title=$(printf '%s' "$record" | cut -d'|' -f4)
serial=$(printf '%s' "$record" | cut -d'|' -f5)
rom="$root/Sonic 2 test.bin"
head -c 524288 /dev/zero > "$rom"
printf '%s' "$title" | dd of="$rom" bs=1 seek=$((0x120)) conv=notrunc status=none
printf '%s' "$serial" | dd of="$rom" bs=1 seek=$((0x180)) conv=notrunc status=none

failures=0
check() { # description, then the command; its output is shown on failure
  local out
  if out=$("${@:2}" 2>&1); then
    echo "ok: $1"
  else
    echo "FAILED: $1"; printf '%s\n' "$out"; failures=$((failures + 1))
  fi
}
expect_in() { grep -qF -- "$1" <<<"$2"; }

(cd "$root" && "$usr/bin/zorptool" identify "$rom") > "$root/identify.txt" 2>&1 || true
name=$(printf '%s' "$record" | cut -d'|' -f2)
check "installed zorptool identify gives S2" expect_in "$(printf 'S2\t%s' "$name")" "$(cat "$root/identify.txt")"
"$usr/bin/zorp" --locations > "$root/locations.txt" 2>&1 && status=0 || status=$?
locations=$(cat "$root/locations.txt")
check "installed zorp finds its files (exit status $status)" test "$status" = 0
check "installed zorp uses the installed layout" expect_in "layout: installed" "$locations"
check "installed zorp reads the shipped templates" expect_in "templates: $usr/share/zorp (" "$locations"
check "installed zorp loads its codec library" \
  expect_in "codec library: $(ls "$usr"/lib/*/zorp/libostrel.so "$usr"/lib/zorp/libostrel.so 2>/dev/null | head -1) (loaded)" "$locations"
check "zorp --version" expect_in "zorp $(dpkg-deb -f "$deb" Version)" "$("$usr/bin/zorp" --version)"
check "zorptool --version" expect_in "zorptool $(dpkg-deb -f "$deb" Version)" "$("$usr/bin/zorptool" --version)"
check "desktop-file-validate" desktop-file-validate "$usr/share/applications/zorp.desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$usr"/share/metainfo/*.metainfo.xml
# The licence: LICENSE, the package's copyright file and the AppStream file agree.
copyright="$usr/share/doc/zorp/copyright"
check "copyright file says License: MIT" grep -qx 'License: MIT' "$copyright"
check "copyright file names the holders of LICENSE" grep -qx 'Copyright: 2026 The ZORP-II developers' "$copyright"
check "LICENSE is the MIT licence of the same holders" \
  bash -c 'grep -qx "MIT License" LICENSE && grep -qx "Copyright (c) 2026 The ZORP-II developers" LICENSE'
check "AppStream project_license is MIT" grep -qF '<project_license>MIT</project_license>' "$usr"/share/metainfo/*.metainfo.xml
grep -E '^(License|Copyright):' "$copyright" | sed 's/^/   /'
# lintian must run: a check that passes because it is missing checks nothing.
# Its exit status is not used (it is non-zero for warnings too); its output
# must hold no error line and must come from a finished run.
if ! command -v lintian >/dev/null; then
  check "lintian is installed (bash scripts/install-deps.sh)" false
else
  lintian_status=0
  lintian_out=$(lintian --tag-display-limit 0 "$deb" 2>&1) || lintian_status=$?
  # 0: clean, 1: tags found (looked at below); anything else: lintian itself failed.
  check "lintian ran (exit status $lintian_status)" test "$lintian_status" -le 1
  check "lintian reports no errors" bash -c '! grep -q "^E: " <<<"$0"' "$lintian_out"
  printf '%s\n' "$lintian_out" | grep -E '^[EW]: ' || true
fi
if [ "$failures" -ne 0 ]; then
  printf '%s\n' "$locations"
  echo "package check: $failures failed"
  exit 1
fi
echo "package check: all passed"
