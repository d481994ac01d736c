#!/usr/bin/env bash
# Runs one Windows program in the build tree's Wine prefix (CMake's cross-compiling emulator).
set -eu
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
velmora_prefix_ready
exec wine "$@"
