#!/usr/bin/env bash
# make bench: builds the Windows programs, runs every benchmark on a private display in the
# build tree's Wine prefix, prints the figures and writes docs/benchmarks.md with its plots.
# Options go to bench/run_bench.py (--help); for example --only pipe,redraw to re-run parts.
set -eu
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
tools/install-deps.sh --bench
cmake --preset windows >/dev/null && cmake --build --preset windows
source tools/display.sh
velmora_display_start
tools/wine-session.sh start
trap 'tools/wine-session.sh stop; velmora_display_stop' EXIT
/usr/bin/python3 bench/run_bench.py "$@"
