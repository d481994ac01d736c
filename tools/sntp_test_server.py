#!/usr/bin/python3
"""A local SNTP server for tests, demos and benchmarks. Loopback only.

Two ways to run it:

  sntp_test_server.py serve --port 12300 [--offset-ms 1500] [--family ipv4|ipv6] ...
      One server socket with the given behaviour, until interrupted (demos, benchmarks).

  sntp_test_server.py control --port 47123 [--idle-exit 900]
      A control socket (UDP, JSON). Each test asks for a server of its own:
        {"cmd": "serve", "offset_ms": -250, "behaviour": "normal", ...}  -> {"port": N}
        {"cmd": "stats", "port": N}                                      -> {"requests": k}
        {"cmd": "close", "port": N}                                      -> {"closed": true}
        {"cmd": "ping"}                                                  -> {"pong": true}
      The process ends by itself after --idle-exit seconds without a control message.

Server options (both modes):
  offset_ms            server clock = this machine's clock + offset
  seconds, fraction    fixed transmit timestamp fields instead of the clock (exact tests)
  processing_delay_ms  between receiving the request and stamping the reply
  network_delay_ms     symmetric: added on the way in and on the way back
  delay_out_ms, delay_back_ms   asymmetric network delay (in addition to the above)
  root_delay_ms, root_dispersion_ms   what the server says of its own distance from the reference
  behaviour            normal | silent | empty | short | wrong_mode | kiss_of_death |
                       kiss_of_death_alarm (the same with LI 3, as servers usually send it) |
                       zero_transmit | wrong_originate | unsynchronised | bad_then_good
  kiss_code            the four letters of a kiss-o'-death (RATE)
  family               ipv4 (127.0.0.1) | ipv6 (::1)
"""
import argparse
import json
import socket
import struct
import sys
import threading
import time

NTP_EPOCH_OFFSET = 2208988800
BEHAVIOURS = {"normal", "silent", "empty", "short", "wrong_mode", "kiss_of_death", "kiss_of_death_alarm",
              "zero_transmit", "wrong_originate", "unsynchronised", "bad_then_good"}


def ntp_short(ms):
    """NTP short format: seconds in 16.16 fixed point."""
    return int(round(ms / 1000.0 * 65536)) & 0xFFFFFFFF


def to_ntp(unix_seconds):
    whole = int(unix_seconds)
    frac = int((unix_seconds - whole) * 2**32) & 0xFFFFFFFF
    return (whole + NTP_EPOCH_OFFSET) & 0xFFFFFFFF, frac


def reply_packet(config, request, received_at, header=0x24, stratum=2, originate=None, transmit=None):
    """header 0x24: LI 0, VN 4, mode 4 (server)."""
    if originate is None:
        originate = request[40:48] if len(request) >= 48 else b"\0" * 8
    rx_sec, rx_frac = to_ntp(received_at + config["offset_ms"] / 1000.0)
    if transmit is None:
        tx_sec, tx_frac = to_ntp(time.time() + config["offset_ms"] / 1000.0)
        if config.get("seconds") is not None:
            tx_sec = config["seconds"] & 0xFFFFFFFF
        if config.get("fraction") is not None:
            tx_frac = config["fraction"] & 0xFFFFFFFF
        transmit = struct.pack("!II", tx_sec, tx_frac)
    root = struct.pack("!II", ntp_short(config.get("root_delay_ms", 0)), ntp_short(config.get("root_dispersion_ms", 0)))
    return (struct.pack("!BBbb", header, stratum, 3, -20) + root + b"LOCL"
            + struct.pack("!II", rx_sec, rx_frac) + originate + struct.pack("!II", rx_sec, rx_frac) + transmit)


def answers_for(config, request, received_at):
    """The datagrams to send back, in order."""
    b = config["behaviour"]
    good = lambda: reply_packet(config, request, received_at)
    if b == "normal":
        return [good()]
    if b == "silent":
        return []
    if b == "empty":
        return [b""]
    if b == "short":
        return [good()[:10]]
    if b == "wrong_mode":
        return [reply_packet(config, request, received_at, header=0x23)]   # mode 3, a client
    if b in ("kiss_of_death", "kiss_of_death_alarm"):
        header = 0xE4 if b == "kiss_of_death_alarm" else 0x24
        p = bytearray(reply_packet(config, request, received_at, header=header, stratum=0))
        p[12:16] = config.get("kiss_code", "RATE").encode("ascii")[:4].ljust(4, b" ")
        return [bytes(p)]
    if b == "zero_transmit":
        return [reply_packet(config, request, received_at, transmit=b"\0" * 8)]
    if b == "wrong_originate":
        return [reply_packet(config, request, received_at, originate=b"\x12\x34\x56\x78\x9a\xbc\xde\xf0")]
    if b == "unsynchronised":
        return [reply_packet(config, request, received_at, header=0xE4)]   # LI 3
    if b == "bad_then_good":
        forged = reply_packet(config, request, received_at, originate=b"\x01" * 8)
        return [forged, b"", good()]
    raise ValueError(b)


class Server:
    def __init__(self, config):
        self.config = dict(offset_ms=0, seconds=None, fraction=None, processing_delay_ms=0, network_delay_ms=0,
                           delay_out_ms=0, delay_back_ms=0, behaviour="normal", family="ipv4", port=0,
                           root_delay_ms=0, root_dispersion_ms=0, kiss_code="RATE")
        self.config.update({k: v for k, v in config.items() if k != "cmd"})
        if self.config["behaviour"] not in BEHAVIOURS:
            raise ValueError("unknown behaviour " + self.config["behaviour"])
        family = socket.AF_INET6 if self.config["family"] == "ipv6" else socket.AF_INET
        host = "::1" if family == socket.AF_INET6 else "127.0.0.1"
        self.sock = socket.socket(family, socket.SOCK_DGRAM)
        self.sock.bind((host, int(self.config["port"])))
        self.port = self.sock.getsockname()[1]
        self.requests = 0
        self.closed = False
        threading.Thread(target=self.loop, daemon=True).start()

    def loop(self):
        while not self.closed:
            try:
                request, peer = self.sock.recvfrom(2048)
            except OSError:
                return
            self.requests += 1
            threading.Thread(target=self.answer, args=(request, peer), daemon=True).start()

    def answer(self, request, peer):
        c = self.config
        time.sleep((c["network_delay_ms"] + c["delay_out_ms"]) / 1000.0)
        received_at = time.time()
        time.sleep(c["processing_delay_ms"] / 1000.0)
        replies = answers_for(c, request, received_at)
        time.sleep((c["network_delay_ms"] + c["delay_back_ms"]) / 1000.0)
        for packet in replies:
            try:
                self.sock.sendto(packet, peer)
            except OSError:
                return

    def close(self):
        self.closed = True
        self.sock.close()


def control(port, idle_exit):
    ctl = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    ctl.bind(("127.0.0.1", port))
    ctl.settimeout(5)
    servers = {}
    last = time.monotonic()
    while time.monotonic() - last < idle_exit:
        try:
            data, peer = ctl.recvfrom(4096)
        except socket.timeout:
            continue
        last = time.monotonic()
        try:
            msg = json.loads(data.decode())
            cmd = msg.get("cmd")
            if cmd == "serve":
                s = Server(msg)
                servers[s.port] = s
                out = {"port": s.port}
            elif cmd == "stats":
                out = {"requests": servers[int(msg["port"])].requests}
            elif cmd == "close":
                servers.pop(int(msg["port"])).close()
                out = {"closed": True}
            elif cmd == "ping":
                out = {"pong": True}
            else:
                out = {"error": "unknown command"}
        except Exception as e:  # a bad control message must not end the server
            out = {"error": str(e)}
        ctl.sendto(json.dumps(out).encode(), peer)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest="mode", required=True)
    c = sub.add_parser("control")
    c.add_argument("--port", type=int, default=47123)
    c.add_argument("--idle-exit", type=float, default=900)
    s = sub.add_parser("serve")
    s.add_argument("--port", type=int, default=12300)
    s.add_argument("--family", default="ipv4", choices=["ipv4", "ipv6"])
    s.add_argument("--offset-ms", type=int, default=0)
    s.add_argument("--processing-delay-ms", type=int, default=0)
    s.add_argument("--network-delay-ms", type=int, default=0)
    s.add_argument("--delay-out-ms", type=int, default=0)
    s.add_argument("--delay-back-ms", type=int, default=0)
    s.add_argument("--behaviour", default="normal", choices=sorted(BEHAVIOURS))
    s.add_argument("--root-delay-ms", type=int, default=0)
    s.add_argument("--root-dispersion-ms", type=int, default=0)
    s.add_argument("--kiss-code", default="RATE")
    a = ap.parse_args()
    if a.mode == "control":
        control(a.port, a.idle_exit)
        return
    cfg = {k: v for k, v in vars(a).items() if k != "mode"}
    server = Server(cfg)
    print(f"SNTP test server on port {server.port}, offset {a.offset_ms} ms, behaviour {a.behaviour}", flush=True)
    try:
        while True:
            time.sleep(3600)
    except KeyboardInterrupt:
        server.close()


if __name__ == "__main__":
    sys.exit(main())
