#!/usr/bin/env python3
"""Runs Getting started's "Linking the codec and the publisher" as a reader
of it would, against an installed prefix: its C programs and CMakeLists.txt
are written out, its pkg-config commands run as they stand (the broker URL
aside: a Mosquitto this check starts on loopback), and its CMake project is
built with find_package's components.

  check_linking.py GETTING_STARTED_MD PREFIX WORK_DIR CMAKE [MOSQUITTO]

Without MOSQUITTO the publisher is built but not run.
"""

from __future__ import annotations

import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from typing import Dict, List

SECTION = "## Linking the codec and the publisher"
DOC_URL = "mqtt://127.0.0.1"


def blocks(markdown: str, language: str) -> List[str]:
    start = markdown.index(SECTION)
    end = markdown.find("\n## ", start + len(SECTION))
    section = markdown[start:end if end >= 0 else None]
    return re.findall(rf"^```{language}\n(.*?)^```", section, re.S | re.M)


def run(command: List[str] | str, cwd: Path, env: Dict[str, str] | None = None,
        expect: int = 0) -> str:
    result = subprocess.run(command, cwd=cwd, env=env, shell=isinstance(command, str),
                            capture_output=True, text=True, timeout=120)
    if result.returncode != expect:
        raise SystemExit(f"{command}: exit {result.returncode}, expected {expect}\n"
                         f"{result.stdout}{result.stderr}")
    return result.stdout


class Broker:
    """Mosquitto on a loopback port of its own, for the life of the check."""

    def __init__(self, program: str, directory: Path):
        for _ in range(5):  # another listener may take the port found free
            with socket.socket() as s:
                s.bind(("127.0.0.1", 0))
                self.port = s.getsockname()[1]
            conf = directory / "mosquitto.conf"
            conf.write_text(f"listener {self.port} 127.0.0.1\nallow_anonymous true\n")
            self.process = subprocess.Popen([program, "-c", str(conf)],
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            until = time.monotonic() + 10
            while time.monotonic() < until and self.process.poll() is None:
                try:
                    socket.create_connection(("127.0.0.1", self.port), 0.2).close()
                    return
                except OSError:
                    time.sleep(0.05)
            self.stop()
        raise SystemExit("the broker did not start")

    def stop(self) -> None:
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)


def main() -> int:
    doc, prefix, work, cmake = sys.argv[1:5]
    mosquitto = sys.argv[5] if len(sys.argv) > 5 else ""
    prefix = str(Path(prefix).resolve())
    text = Path(doc).read_text()
    work_dir = Path(work)
    shutil.rmtree(work_dir, ignore_errors=True)
    work_dir.mkdir(parents=True)

    expected: Dict[str, str] = {}
    for program in blocks(text, "c"):
        name = re.match(r"/\* (\S+)\.c:", program)[1]
        (work_dir / f"{name}.c").write_text(program)
        said = re.search(r"/\* (urn:[^ ]+) \*/", program)
        expected[name] = said[1] + "\n" if said else "0 messages not acknowledged\n"
    (work_dir / "CMakeLists.txt").write_text(blocks(text, "cmake")[0])
    commands = [line for line in blocks(text, "sh")[0].splitlines() if line.strip()]
    if sorted(expected) != ["epc_uri", "publish_read"] or len(commands) != 2:
        raise SystemExit(f"the section's programs changed: {sorted(expected)}, {commands}")

    env = dict(os.environ, PKG_CONFIG_PATH=f"{prefix}/lib/pkgconfig",
               LD_LIBRARY_PATH=f"{prefix}/lib")
    with tempfile.TemporaryDirectory() as broker_dir:
        broker = Broker(mosquitto, Path(broker_dir)) if mosquitto else None
        url = f"mqtt://127.0.0.1:{broker.port}" if broker else ""
        runs = ["epc_uri", "publish_read"] if broker else ["epc_uri"]
        try:
            for command, name in zip(commands, ["epc_uri", "publish_read"]):
                if name not in runs:
                    run(command.split(" && ")[0], work_dir, env)
                    continue
                out = run(command.replace(DOC_URL, url), work_dir, env)
                if out != expected[name]:
                    raise SystemExit(f"{command}: printed {out!r}, expected {expected[name]!r}")

            # The CMake route: the components found, linked and run without
            # a search path of the caller's.
            build = work_dir / "build"
            run([cmake, "-S", ".", "-B", str(build), f"-DCMAKE_PREFIX_PATH={prefix}"], work_dir)
            run([cmake, "--build", str(build)], work_dir)
            for name in runs:
                out = run([str(build / name), *([url] if name == "publish_read" else [])],
                          work_dir)
                if out != expected[name]:
                    raise SystemExit(f"CMake's {name}: printed {out!r}, expected {expected[name]!r}")
        finally:
            if broker:
                broker.stop()

    # A component the package does not have stops the configure.
    (work_dir / "CMakeLists.txt").write_text(
        blocks(text, "cmake")[0].replace("COMPONENTS Epc Mqtt", "COMPONENTS Epc Nonesuch"))
    run([cmake, "-S", ".", "-B", str(work_dir / "build-nonesuch"),
         f"-DCMAKE_PREFIX_PATH={prefix}"], work_dir, expect=1)
    print(f"pkg-config and CMake builds of {', '.join(sorted(expected))}: ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
