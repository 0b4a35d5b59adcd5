#!/usr/bin/env python3
"""Runs the benchmarks and the unit test suite of a build and prints one
table: CPU cost of a command exchange on the fake platform, heap allocations
per call, and, over a socket pair in real time, wall time over the floor (poll
cycles times the 50 ms pause) and the calling thread's CPU time over the wall
time.  Exits with status 1 when a target is missed.

    bench/run.py [--build build-bench]
"""

import argparse
import json
import re
import subprocess
import sys
import time
from pathlib import Path

MOST_PACE = 1.02          # wall time over floor
MOST_CPU_SHARE = 0.01     # calling thread's CPU time over wall time
MOST_UNIT_SUITE_S = 30.0  # the whole unit test suite


def run_benchmark(program, extra_args):
    """The JSON report of a Google Benchmark program."""
    out = subprocess.run([str(program), "--benchmark_format=json", *extra_args],
                         check=True, capture_output=True, text=True).stdout
    return json.loads(out)["benchmarks"]


def case_key(name, prefix):
    """exchange/<key>/<reader> or pace/<key>/...: the case's key."""
    return name[len(prefix):].split("/")[0]


def exchange_costs(build, min_time):
    """{key: {"label", "emulated", "replayed", "allocs", "virtual_ms"}}."""
    rows = {}
    for b in run_benchmark(build / "bench" / "velkor_exchange_cost_bench",
                           [f"--benchmark_min_time={min_time}"]):
        if "error_message" in b:
            raise SystemExit(f"{b['name']}: {b['error_message']}")
        row = rows.setdefault(case_key(b["name"], "exchange/"), {})
        row["label"] = b["label"]
        reader = b["name"].rsplit("/", 1)[1]
        row[reader] = b["cpu_time"]  # nanoseconds
        row["allocs"] = max(row.get("allocs", 0), b["allocs"])
    return rows


def pace(build):
    """{key: median counters of the real-time runs}."""
    rows = {}
    for b in run_benchmark(build / "bench" / "velkor_pace_bench", []):
        if b.get("aggregate_name") != "median":
            continue
        rows[case_key(b["name"], "pace/")] = {
            "label": b["label"], "runs": b["repetitions"], "wall_ms": b["real_time"],
            "pace": b["wall_over_floor"], "cpu_share": b["cpu_over_wall"],
            "allocs": b["allocs"], "polls": int(b["polls"])}
    return rows


def unit_suite(build):
    """Wall seconds of the whole unit test suite, and its test count."""
    start = time.monotonic()
    out = subprocess.run([str(build / "tests" / "velkor_unit_tests"), "--gtest_brief=1"],
                         check=True, capture_output=True, text=True).stdout
    seconds = time.monotonic() - start
    tests = re.search(r"(\d+) tests? from .* ran", out)
    return seconds, int(tests.group(1)) if tests else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--build", default="build-bench", type=Path,
                        help="the build directory (default: build-bench)")
    parser.add_argument("--min-time", default="0.5",
                        help="seconds each fake-platform case runs (default: 0.5)")
    args = parser.parse_args()

    costs = exchange_costs(args.build, args.min_time)
    paced = pace(args.build)
    suite_s, suite_tests = unit_suite(args.build)

    missed = []
    head = ("| Case | CPU per call, emulated reader | CPU per call, library alone "
            "| Heap allocations per call | Poll cycles | Wall (median) | Floor "
            "| Wall / floor | Thread CPU / wall |")
    print(head)
    print("|" + "---|" * head.count(" | ") + "---|")
    for key, c in costs.items():
        p = paced.get(key)
        allocs = max(c["allocs"], p["allocs"] if p else 0)
        if allocs:
            missed.append(f"{c['label']}: {allocs:g} heap allocations per call")
        cells = [c["label"], f"{c['emulated']:,.0f} ns", f"{c['replayed']:,.0f} ns",
                 f"{allocs:g}"]
        if p:
            if p["pace"] > MOST_PACE:
                missed.append(f"{c['label']}: wall / floor {p['pace']:.3f}")
            if p["cpu_share"] > MOST_CPU_SHARE:
                missed.append(f"{c['label']}: thread CPU {p['cpu_share']:.2%} of wall")
            cells += [str(p["polls"]), f"{p['wall_ms']:,.1f} ms",
                      f"{p['polls'] * 50:,} ms", f"{p['pace']:.4f}", f"{p['cpu_share']:.3%}"]
        else:
            cells += ["", "", "", "", ""]
        print("| " + " | ".join(cells) + " |")
    if suite_s > MOST_UNIT_SUITE_S:
        missed.append(f"unit test suite: {suite_s:.1f} s")
    print(f"| unit test suite ({suite_tests} tests) | | | | | {suite_s:.2f} s | | | |")

    runs = min((p["runs"] for p in paced.values()), default=0)
    print()
    print(f"Real-time figures: medians of {runs} runs over a socket pair.  Targets: "
          f"wall / floor at most {MOST_PACE}, thread CPU at most {MOST_CPU_SHARE:.0%} of "
          f"wall, no heap allocation, unit suite under {MOST_UNIT_SUITE_S:.0f} s.")
    if missed:
        print("Missed: " + "; ".join(missed))
        return 1
    print("All targets met.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
