#!/usr/bin/python3
"""Runs Debian's ntpdig (or sntp, a link to it) once against 127.0.0.1:PORT without setting
the clock. Prints ntpdig's own JSON report, then one JSON line with the time its query took
(from its name look-up to its end).

    peer_ntpdig.py PROGRAM PORT

ntpdig has no port option, so the resolver it calls is wrapped to hand out PORT instead of 123.
Run it with /usr/bin/python3, where ntpdig's own modules are installed."""
import json
import runpy
import socket
import sys
import time

program, port = sys.argv[1], int(sys.argv[2])
started = []
real_getaddrinfo = socket.getaddrinfo


def getaddrinfo(host, _port, *args, **kwargs):
    started.append(time.perf_counter())
    return real_getaddrinfo(host, port, *args, **kwargs)


socket.getaddrinfo = getaddrinfo
# -j: JSON report; no -S or -s, so it only reports.
sys.argv = [program, "-j", "-t", "3", "127.0.0.1"]
code = 0
try:
    runpy.run_path(program, run_name="__main__")
except SystemExit as e:
    code = e.code or 0
finished = time.perf_counter()
sys.stdout.flush()
print(json.dumps({"exit": code, "query_ms": (finished - started[0]) * 1000.0 if started else None}))
