#!/usr/bin/env bash
# Builds and runs every test: the native core under ASan/UBSan, its fuzz targets, then the
# Windows programs' tests under Wine on one virtual display. Exits non-zero if any suite fails.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
cd "$root"

"$here/install-deps.sh" || exit 1
cmake --preset native >/dev/null && cmake --build --preset native || exit 1
cmake --preset windows >/dev/null && cmake --build --preset windows || exit 1
cmake --preset fuzz >/dev/null && cmake --build --preset fuzz || exit 1

status=0
echo "== native core tests (ASan, UBSan)"
ctest --preset native || status=1

echo "== fuzz targets (libFuzzer, a bounded number of inputs each)"
ctest --preset fuzz || status=1

echo "== Windows tests under Wine"
source "$here/display.sh"
velmora_display_start || exit 1
"$here/wine-session.sh" start
ctest --preset windows "$@" || status=1
"$here/wine-session.sh" stop
velmora_display_stop
exit $status
