#!/usr/bin/python3
"""Writes the fuzz targets' seed corpus (tests/fuzz/corpus/<target>/): a few well-formed and
a few typical broken inputs each, in the layouts the targets read. Run it again after a
target's input layout changes."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))
NONCE = 0x0123456789ABCDEF
SECONDS = 3976214400            # 2026-01-01 00:00:00 UTC
PC_TICKS = (SECONDS - 2208988800) * 10_000_000 + 116444736000000000


def write(target, name, data):
    folder = os.path.join(here, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def reply(header=0x24, stratum=2, originate=NONCE, receive=(SECONDS, 0), transmit=(SECONDS, 0x0A3D70A4)):
    return (struct.pack("!BBbb", header, stratum, 3, -20) + struct.pack("!II", 0, 0) + b"LOCL"
            + struct.pack("!II", *receive) + struct.pack("!Q", originate)
            + struct.pack("!II", *receive) + struct.pack("!II", *transmit))


def exchange(datagram, start=1000, end=1044, pc=PC_TICKS):
    return struct.pack("<QIIQ", NONCE, start, end, pc) + datagram


write("fuzz_sntp_reply", "valid", exchange(reply()))
write("fuzz_sntp_reply", "valid-with-extension", exchange(reply() + b"\xAA" * 20))
write("fuzz_sntp_reply", "tick-counter-wrap", exchange(reply(), start=0xFFFFFFF0, end=0x10))
write("fuzz_sntp_reply", "era-wrap", exchange(reply(receive=(0xFFFFFFFF, 0x80000000), transmit=(0, 0))))
write("fuzz_sntp_reply", "kiss-of-death", exchange(reply(stratum=0)))
write("fuzz_sntp_reply", "client-mode", exchange(reply(header=0x23)))
write("fuzz_sntp_reply", "forged", exchange(reply(originate=0x1234)))
write("fuzz_sntp_reply", "short", exchange(reply()[:10]))

def pipe(message, complete=True, ticks=PC_TICKS):
    return struct.pack("<BQ", 1 if complete else 0, ticks) + message

write("fuzz_pipe_request", "offset-plus-1000", pipe(struct.pack("<q", 1000)))
write("fuzz_pipe_request", "offset-minus-250", pipe(struct.pack("<q", -250)))
write("fuzz_pipe_request", "offset-huge", pipe(struct.pack("<q", 922337203685477)))
write("fuzz_pipe_request", "stop", pipe(b"\x03"))
write("fuzz_pipe_request", "other-byte", pipe(b"\x04"))
write("fuzz_pipe_request", "nine-bytes", pipe(b"\x49" + b"\x03" * 8))
write("fuzz_pipe_request", "cut-short", pipe(b"\x65" + b"\x03" * 99, complete=False))


def settings(numbers, texts):
    body = b"".join(t.encode("utf-16-le") + b"\0\0" for t in texts)
    return struct.pack("<13i", *numbers) + body

defaults = [1, 1, 0, 0, 2147483647, 2147483647, 1, 0, 123, 0, 1, 60, 0]
custom = [1, 0, 1, 2, -20, 30, 0, -1, 5123, 1, 1, 0, 24]
write("fuzz_settings_values", "defaults", settings(defaults, ["", "1", "2", "10", "11"]))
write("fuzz_settings_values", "custom-server", settings(custom, ["10.0.0.1", "(UTC+05:30) Chennai", "007", "x"]))
write("fuzz_settings_values", "zones", settings(defaults, ["(UTC-03:30) Newfoundland", "(UTC) Coordinated Universal Time"]))
