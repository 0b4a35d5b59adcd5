#!/usr/bin/env python3
"""velkor serve under load, on this machine:

1. the event stream (build/bench/velkor_serve_stream_bench): latency from a
   reader's worker holding a reply to an event-stream client holding its
   event, median and 99th percentile, with 1 and with 100 clients; the
   server thread's CPU per thousand events;
2. `velkor --emulate serve`: requests per second for GET /api/v1/readers
   under Debian's wrk with keep-alive; its resident memory with 100 event
   streams open.

Prints the figures as README.md's table rows; exits 1 when a target is
missed (99th percentile under 10 ms, 10,000 requests a second, 50 MB).

    python3 bench/serve_bench.py --build build
"""
import argparse
import json
import os
import re
import secrets
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

MOST_P99_MS = 10.0
LEAST_REQUESTS = 10_000
MOST_RSS_MB = 50.0


def stream_figures(build, clients, events, rate, runs):
    """The median over runs of each figure of the stream benchmark."""
    results = []
    for _ in range(runs):
        out = subprocess.run([os.path.abspath(os.path.join(build, "bench", "velkor_serve_stream_bench")),
                              "--clients", str(clients), "--events", str(events),
                              "--rate", str(rate)], capture_output=True, text=True, check=True)
        results.append(json.loads(out.stdout))
    return {k: statistics.median(r[k] for r in results) for k in results[0]}


class Server:
    """`velkor --emulate serve` on a free port of 127.0.0.1 with a token file."""

    def __init__(self, tool, scratch):
        self.token = secrets.token_hex(24)
        token_file = os.path.join(scratch, "token")
        with open(token_file, "w", encoding="ascii") as f:
            f.write(self.token + "\n")
        os.chmod(token_file, 0o600)
        self.process = subprocess.Popen(
            [tool, "--emulate", "serve", "--listen", "127.0.0.1:0", "--token-file", token_file],
            stdout=subprocess.PIPE, text=True, cwd=scratch)
        line = self.process.stdout.readline()
        self.port = int(re.search(r"127\.0\.0\.1:(\d+)/", line).group(1))
        self.base = f"http://127.0.0.1:{self.port}"

    def status(self, path):
        request = urllib.request.Request(self.base + path,
                                         headers={"Authorization": f"Bearer {self.token}"})
        try:
            with urllib.request.urlopen(request, timeout=10) as answer:
                return answer.status
        except urllib.error.HTTPError as e:
            return e.code

    def rss_mb(self):
        with open(f"/proc/{self.process.pid}/status", encoding="ascii") as f:
            kb = int(re.search(r"VmRSS:\s+(\d+) kB", f.read()).group(1))
        return kb / 1024

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def wrk_rate(server, path, seconds, connections):
    """Requests a second wrk gets for path, keep-alive, every answer a 200."""
    out = subprocess.run(["wrk", "-t2", f"-c{connections}", f"-d{seconds}s", "--latency",
                          "-H", f"Authorization: Bearer {server.token}", server.base + path],
                         capture_output=True, text=True, check=True).stdout
    if "Non-2xx" in out:
        raise SystemExit(f"wrk saw answers other than 200 for {path}:\n{out}")
    return float(re.search(r"Requests/sec:\s+([\d.]+)", out).group(1))


def open_streams(server, count):
    """count event streams, each past its response header."""
    streams = []
    for _ in range(count):
        s = socket.create_connection(("127.0.0.1", server.port), timeout=10)
        s.sendall((f"GET /api/v1/events HTTP/1.1\r\nHost: 127.0.0.1:{server.port}\r\n"
                   f"Authorization: Bearer {server.token}\r\n\r\n").encode())
        head = b""
        while b"\r\n\r\n" not in head:
            head += s.recv(4096)
        if not head.startswith(b"HTTP/1.1 200"):
            raise SystemExit(f"no event stream: {head[:80]!r}")
        streams.append(s)
    return streams


def main():
    a = argparse.ArgumentParser()
    a.add_argument("--build", default="build")
    a.add_argument("--events", type=int, default=5000)
    a.add_argument("--rate", type=int, default=500, help="events a second")
    a.add_argument("--runs", type=int, default=3)
    a.add_argument("--seconds", type=int, default=10, help="each wrk run")
    args = a.parse_args()
    tool = os.path.abspath(os.path.join(args.build, "tools", "velkor"))
    missed = []

    print("| Case | Median | 99th percentile | CPU per 1000 events |")
    print("|---|---|---|---|")
    for clients in (1, 100):
        f = stream_figures(args.build, clients, args.events, args.rate, args.runs)
        print(f"| event stream, {clients} client{'s' if clients > 1 else ''}, "
              f"{args.rate} events/s | {f['median_us'] / 1000:.2f} ms | {f['p99_us'] / 1000:.2f} ms | "
              f"{f['server_cpu_ms_per_1000']:.1f} ms server thread, "
              f"{f['worker_cpu_ms_per_1000']:.1f} ms worker |")
        if f["p99_us"] / 1000 > MOST_P99_MS:
            missed.append(f"99th percentile with {clients} clients")
        if f["lost"]:
            missed.append(f"{f['lost']} events lost with {clients} clients")

    if not shutil.which("wrk"):
        raise SystemExit("wrk is not installed (apt-get install wrk)")
    with tempfile.TemporaryDirectory(prefix="velkor-serve-bench-") as scratch:
        server = Server(tool, scratch)
        try:
            path = "/api/v1/readers"
            if server.status(path) == 404:
                # Until the server drives readers: the codec's GET, as near
                # as this build has (same access checks, routing and JSON).
                path = "/api/v1/epc/3074257BF7194E4000001A85"
                print(f"GET /api/v1/readers is not served by this build; measuring GET {path}",
                      file=sys.stderr)
            wrk_rate(server, path, 2, 50)  # warm up
            rates = [wrk_rate(server, path, args.seconds, 50) for _ in range(args.runs)]
            rate = statistics.median(rates)
            print(f"| GET {path}, wrk, 2 threads, 50 keep-alive connections | "
                  f"{rate:,.0f} requests/s | | |")
            if rate < LEAST_REQUESTS:
                missed.append("requests per second")
            idle = server.rss_mb()
            streams = open_streams(server, 100)
            time.sleep(0.5)
            rss = server.rss_mb()
            print(f"| resident memory, 100 event streams open | {rss:.1f} MB "
                  f"({idle:.1f} MB before) | | |")
            if rss > MOST_RSS_MB:
                missed.append("resident memory")
            for s in streams:
                s.close()
        finally:
            server.stop()
    if missed:
        print("missed: " + ", ".join(missed), file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
