#!/usr/bin/env bash
# usage: unmanaged-windows.sh WINE-RUN PROGRAM.exe...
# The test display has no window manager, and Wine waits 2 s for one to acknowledge every
# captioned window that is hidden or destroyed. Programs that close many dialogs have their
# windows left unmanaged instead (a per-program Wine setting in the test prefix).
set -eu
run=$1
shift
for program in "$@"; do
    "$run" reg add "HKCU\\Software\\Wine\\AppDefaults\\$program\\X11 Driver" /v Managed /d N /f >/dev/null
done
