#!/usr/bin/env python3
"""A lossy UDP relay for the network soak: the joining copy sends to LISTEN_PORT, the relay
passes its datagrams on to the creating copy at TARGET_PORT from a socket of its own, and the
creating copy's replies go back to whoever last sent to LISTEN_PORT. On the way, in both
directions, it drops a share of the datagrams and holds back some of the rest for a random
time, so that later ones overtake them (reordering). The creating copy answers the latest
sender, so the relay needs no change to the game.

Usage: udp_relay.py LISTEN_PORT TARGET_PORT [--drop 0.3] [--delay 0.2] [--max-delay 0.25]
                    [--seed N] [--stats FILE]
On SIGTERM or SIGINT it writes its counts to --stats (or stdout) and ends.
"""
import argparse
import heapq
import random
import select
import signal
import socket
import sys
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("listen_port", type=int)
    ap.add_argument("target_port", type=int)
    ap.add_argument("--drop", type=float, default=0.3, help="share of datagrams dropped")
    ap.add_argument("--delay", type=float, default=0.2, help="share of the passed ones held back")
    ap.add_argument("--max-delay", type=float, default=0.25, help="longest hold, seconds")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--stats")
    args = ap.parse_args()

    rng = random.Random(args.seed)
    near = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)  # the joining copy's side
    near.bind(("127.0.0.1", args.listen_port))
    far = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)  # the creating copy's side
    far.bind(("127.0.0.1", 0))
    target = ("127.0.0.1", args.target_port)
    joiner = None
    held = []  # (due, order, socket, data, address)
    order = 0
    counts = {"in": 0, "dropped": 0, "held": 0, "passed": 0}
    running = True

    def stop(*_):
        nonlocal running
        running = False

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    def route(sock, data, address):
        nonlocal order
        counts["in"] += 1
        r = rng.random()
        if r < args.drop:
            counts["dropped"] += 1
        elif rng.random() < args.delay:
            counts["held"] += 1
            order += 1
            heapq.heappush(held, (time.monotonic() + rng.uniform(0.01, args.max_delay), order, sock, data, address))
        else:
            sock.sendto(data, address)
            counts["passed"] += 1

    while running:
        now = time.monotonic()
        while held and held[0][0] <= now:
            _, _, sock, data, address = heapq.heappop(held)
            try:
                sock.sendto(data, address)
            except OSError:
                pass
        timeout = max(0.0, held[0][0] - now) if held else 0.5
        try:
            ready, _, _ = select.select([near, far], [], [], timeout)
        except InterruptedError:
            continue
        for sock in ready:
            try:
                data, address = sock.recvfrom(65536)
            except OSError:
                continue
            if sock is near:
                joiner = address
                route(far, data, target)
            elif joiner is not None:
                route(near, data, joiner)

    text = "relay: %(in)d datagrams, %(dropped)d dropped, %(held)d held back, %(passed)d passed at once\n" % counts
    if args.stats:
        with open(args.stats, "w") as f:
            f.write(text)
    else:
        sys.stdout.write(text)


if __name__ == "__main__":
    main()
