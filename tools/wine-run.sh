#!/usr/bin/env bash
# Runs one Windows program in the build tree's Wine prefix, with the loader of its architecture
# (VELMORA_ARCH, VELMORA_BUILD: see wine-env.sh). Each build tree's wine-run.sh, which CMake
# writes and uses as its cross-compiling emulator, comes here.
set -eu
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
velmora_prefix_ready
exec wine "$@"
