#!/usr/bin/env bash
# start PORT PIDFILE: runs the control-mode SNTP test server in the background, detached
#                     from the caller's output (ctest would otherwise wait for it).
# stop PIDFILE
set -eu
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
case "${1:-}" in
start)
    port=$2 pidfile=$3
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
    setsid /usr/bin/python3 "$here/sntp_test_server.py" control --port "$port" --idle-exit 900 \
        </dev/null >/dev/null 2>&1 &
    echo $! >"$pidfile"
    # Ready when it answers a ping.
    for _ in $(seq 50); do
        if /usr/bin/python3 - "$port" <<'PY' 2>/dev/null; then exit 0; fi
import socket, sys
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.settimeout(0.2)
s.sendto(b'{"cmd":"ping"}', ("127.0.0.1", int(sys.argv[1]))); s.recvfrom(100)
PY
        sleep 0.1
    done
    echo "SNTP test server did not start" >&2; exit 1 ;;
stop)
    pidfile=$2
    [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
    rm -f "$pidfile" ;;
*) echo "usage: $0 start PORT PIDFILE | stop PIDFILE" >&2; exit 2 ;;
esac
