#!/usr/bin/env bash
# make bench: builds the Windows programs, runs every benchmark on a private display in the
# build tree's Wine prefix, prints the figures and writes docs/benchmarks.md with its plots.
# VELMORA_ARCH=x64 (the default) or x86 picks the build that is measured.
# Options go to bench/run_bench.py (--help); for example --only pipe,redraw to re-run parts.
set -eu
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/install-deps.sh --bench
export VELMORA_ARCH=${VELMORA_ARCH:-x64}
preset=windows-x64
[ "$VELMORA_ARCH" = x86 ] && preset=windows
cmake --preset $preset >/dev/null && cmake --build --preset $preset
source tools/wine-env.sh
if [ "$VELMORA_ARCH" = x86 ] && ! why=$(velmora_x86_runs); then
    echo "cannot measure the x86 build here: $why" >&2
    exit 1
fi
source tools/display.sh
velmora_display_start
tools/wine-session.sh start
trap 'tools/wine-session.sh stop; velmora_display_stop' EXIT
/usr/bin/python3 bench/run_bench.py "$@"
