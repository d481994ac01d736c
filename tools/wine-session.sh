#!/usr/bin/env bash
# start: create the prefix and keep one wineserver (and Wine's system processes) running,
#        detached from our output, so test runners do not wait for them to exit.
# stop:  end everything in the prefix.
set -eu
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
case "${1:-}" in
start)
    velmora_prefix_ready
    # flock -o: the lock's descriptor must not leak into wineserver, or the next start would block.
    flock -o "$WINEPREFIX.lock" \
        setsid bash -c 'wineserver -p60; wine cmd /c exit' </dev/null >/dev/null 2>&1
    # A process that keeps a window: without one, Wine's desktop process ends between two
    # programs and a program that starts just then can hang in its start-up.
    probe=$VELMORA_BUILD/bin/velmora_probe.exe
    if [ -x "$probe" ]; then
        wine "$probe" warm </dev/null >/dev/null 2>&1 || true
    fi
    if [ -n "${DISPLAY:-}" ] && [ -x "$probe" ]; then
        setsid wine "$probe" hold </dev/null >/dev/null 2>&1 &
    fi
    ;;
stop)
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
