"""One truth: the seeded emulated reader's information and settings after
`region set 5` and 20 dBm, and one inventory's tags, as the tool (--json),
the C++ layer, Python and .NET each give them, compared byte for byte (after
a canonical JSON dump) with one expected file.

Each surface's document is made from its own public values, not from the
core's documents, so a surface that decodes differently shows."""

from __future__ import annotations

import argparse
import json
import subprocess
import sys
from pathlib import Path
from typing import Any, Callable, Dict, List

INFO_KEYS = ["serial", "firmware", "gen2", "iso6b", "region", "lowest_channel",
             "highest_channel", "power_dbm", "scan_time_ms", "antenna", "beep"]
CONFIG_KEYS = ["mode", "interval", "response", "tag_type", "eas_sensitivity", "trigger_time",
               "tid", "work_time", "scan_time_ms", "antenna"]
Document = Dict[str, Any]


def canonical(document: Document) -> str:
    return json.dumps(document, sort_keys=True, indent=1) + "\n"


def from_tool(tool: str) -> Document:
    script = "region set 5\npower --set 20\ninfo --json\nconfig --json\ninventory --json\n"
    out = subprocess.run([tool, "--emulate", "script"], input=script, capture_output=True,
                         text=True, check=True, timeout=60).stdout
    docs = [json.loads(line) for line in out.splitlines() if line.startswith("{")]
    info, config, reads = docs[0], docs[1], docs[2:]
    return {"info": {k: info[k] for k in INFO_KEYS},
            "config": {k: config[k] for k in CONFIG_KEYS},
            "tags": [{"epc": r["epc"], "antenna": r["antenna"]} for r in reads]}


def from_python() -> Document:
    import velkor  # the binding under test, found through PYTHONPATH

    with velkor.Reader.emulated(seed=1, gen2_tags=6, iso6b_tags=2) as reader:
        reader.set_region(5)
        reader.power = 20
        i, c = reader.info(), reader.config()
        return {
            "info": {"serial": i.serial, "firmware": i.firmware, "gen2": i.gen2,
                     "iso6b": i.iso6b, "region": i.region.code,
                     "lowest_channel": i.region.lowest, "highest_channel": i.region.highest,
                     "power_dbm": i.power, "scan_time_ms": i.scan_time_ms,
                     "antenna": i.antenna, "beep": i.beep},
            "config": {"mode": int(c.mode), "interval": c.interval, "response": list(c.response),
                       "tag_type": int(c.tag_type), "eas_sensitivity": c.eas_sensitivity,
                       "trigger_time": c.trigger_time, "tid": list(c.tid),
                       "work_time": list(c.work_time), "scan_time_ms": c.scan_time_ms,
                       "antenna": c.antenna},
            "tags": [{"epc": t.epc, "antenna": t.antenna} for t in reader.inventory()],
        }


def from_program(command: List[str]) -> Document:
    out = subprocess.run(command, capture_output=True, text=True, check=True,
                         timeout=60).stdout
    document: Document = json.loads(out)
    return document


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--expected", type=Path, required=True)
    parser.add_argument("--tool")
    parser.add_argument("--cpp")
    parser.add_argument("--mono")
    parser.add_argument("--runner")
    args = parser.parse_args()
    expected: Document = json.loads(args.expected.read_text())
    if args.expected.read_text() != canonical(expected):
        print(f"{args.expected} is not in canonical form")
        return 1
    surfaces: Dict[str, Callable[[], Document]] = {"python": from_python}
    if args.tool:
        surfaces["tool"] = lambda: from_tool(args.tool)
    if args.cpp:
        surfaces["c++"] = lambda: from_program([args.cpp])
    if args.mono and args.runner:
        surfaces[".net"] = lambda: from_program([args.mono, args.runner, "--one-truth"])
    failed = 0
    for name, produce in surfaces.items():
        document = produce()
        # The C++ layer has no work-mode parameters: it is held to the rest.
        want = {key: value for key, value in expected.items() if key in document}
        if canonical(document) != canonical(want) or set(document) - {"config"} != {"info", "tags"}:
            failed += 1
            print(f"{name} differs from {args.expected.name}:\n{canonical(document)}")
        else:
            print(f"{name}: same ({', '.join(sorted(document))})")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
