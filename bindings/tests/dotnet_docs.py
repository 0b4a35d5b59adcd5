"""The .NET documentation as a newcomer follows it.

  dotnet_docs.py compile --mcs MCS --assembly Velkor.Net.dll --work DIR
      compiles every C# block of README.md and docs/*.md against the binding:
      a block with a Main as it stands, any other as the body of a Main after
      its using directives (nothing is added: a missing `using System;` fails)
  dotnet_docs.py run --section TITLE --build BUILD --work DIR [--path DIR] [--tool velkor]
      saves docs/dotnet.md's first C# block as first.cs in DIR (where `build`
      is the build tree and HOME is DIR/home) and runs the shell blocks of the
      section TITLE there, as written; the program must print each emulated
      tag's EPC and first TID words, as `velkor --emulate=7 inventory --tid`
      reads them
"""

from __future__ import annotations

import argparse
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path
from typing import Dict, Iterator, List, Tuple

SOURCE_DIR = Path(__file__).resolve().parents[2]
DOTNET_PAGE = SOURCE_DIR / "docs" / "dotnet.md"
BLOCK = re.compile(r"^```(\w+)\n(.*?)^```", re.M | re.S)
DIRECTIVE = re.compile(r"^using\s+[\w.]+\s*;\s*$")
HEADING = re.compile(r"^(#+)\s+(.*)$", re.M)
# What the first sample prints per tag: the EPC, then two TID words.
SAMPLE_LINE = re.compile(r"^([0-9A-F]{24}) ([0-9A-F]{2}(?:-[0-9A-F]{2}){3})$")


def blocks(page: Path, language: str) -> Iterator[Tuple[int, str]]:
    """(line number, text) of each block of the language in page."""
    text = page.read_text()
    for match in BLOCK.finditer(text):
        if match.group(1) == language:
            yield text.count("\n", 0, match.start()) + 1, match.group(2)


def as_program(block: str) -> str:
    if re.search(r"\bstatic\s+(void|int)\s+Main\b", block):
        return block
    lines = block.splitlines()
    head = 0
    while head < len(lines) and (DIRECTIVE.match(lines[head]) or not lines[head].strip()):
        head += 1
    body = "\n".join(lines[head:])
    return "\n".join(lines[:head]) + "\nstatic class Sample\n{\n    static void Main()\n    {\n" \
        + body + "\n    }\n}\n"


def compile_all(mcs: str, assembly: str, work: Path) -> int:
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    pages = [SOURCE_DIR / "README.md", *sorted((SOURCE_DIR / "docs").glob("*.md"))]
    failed = compiled = 0
    for page in pages:
        for line, block in blocks(page, "csharp"):
            where = f"{page.relative_to(SOURCE_DIR)}:{line}"
            source = work / f"sample{compiled + failed}.cs"
            source.write_text(as_program(block))
            run = subprocess.run([mcs, "-nologo", f"-r:{assembly}", "-r:System.Core",
                                  f"-out:{source.with_suffix('.exe')}", str(source)],
                                 capture_output=True, text=True)
            if run.returncode:
                failed += 1
                print(f"{where}: does not compile\n{run.stdout}{run.stderr}")
            else:
                compiled += 1
                print(f"{where}: compiles")
    if not compiled + failed:
        print("no C# block found")
        return 1
    return 1 if failed else 0


def section_blocks(title: str) -> List[str]:
    """The shell blocks under the heading title, up to the next heading of
    its level or above."""
    text = DOTNET_PAGE.read_text()
    headings = list(HEADING.finditer(text))
    for i, heading in enumerate(headings):
        if heading.group(2).strip() == title:
            level = len(heading.group(1))
            end = next((h.start() for h in headings[i + 1:] if len(h.group(1)) <= level),
                       len(text))
            return [m.group(2) for m in BLOCK.finditer(text, heading.end(), end)
                    if m.group(1) == "sh"]
    raise SystemExit(f"docs/dotnet.md has no section {title!r}")


def tool_reads(tool: str) -> Dict[str, str]:
    """EPC -> its first two TID words, from the tool."""
    run = subprocess.run([tool, "--emulate=7", "inventory", "--tid"], capture_output=True,
                         text=True, check=True, timeout=60)
    found = re.findall(r"^([0-9A-F]{24})\s+([0-9A-F]{8})", run.stdout, re.M)
    return {epc: "-".join(tid[i:i + 2] for i in range(0, 8, 2)) for epc, tid in found}


def run_section(title: str, build: Path, work: Path, path: List[str], tool: str) -> int:
    shutil.rmtree(work, ignore_errors=True)
    (work / "home").mkdir(parents=True)
    (work / "build").symlink_to(build.resolve())
    first = next(blocks(DOTNET_PAGE, "csharp"))[1]
    (work / "first.cs").write_text(first)
    environ = dict(os.environ, HOME=str(work / "home"),
                   PATH=os.pathsep.join([*path, os.environ.get("PATH", "")]))
    environ.pop("LD_LIBRARY_PATH", None)  # the documented commands need none
    environ.pop("MONO_PATH", None)
    commands = section_blocks(title)
    if not commands:
        raise SystemExit(f"section {title!r} has no shell block")
    output = ""
    for command in commands:
        print(f"$ {command}")
        run = subprocess.run(["bash", "-euo", "pipefail", "-c", command], cwd=work, env=environ,
                             capture_output=True, text=True, timeout=240)
        print(run.stdout + run.stderr)
        if run.returncode:
            print(f"the commands failed with exit status {run.returncode}")
            return 1
        output = run.stdout
    printed = [SAMPLE_LINE.match(line) for line in output.splitlines()]
    reads = {m.group(1): m.group(2) for m in printed if m}
    expected = tool_reads(tool) if tool else reads
    if len(reads) != 6 or reads != expected:
        print(f"the program printed {reads}, expected the six tags {expected}")
        return 1
    print(f"section {title!r}: the program read the six emulated tags")
    return 0


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    compile_parser = commands.add_parser("compile")
    compile_parser.add_argument("--mcs", required=True)
    compile_parser.add_argument("--assembly", required=True)
    compile_parser.add_argument("--work", type=Path, required=True)
    run_parser = commands.add_parser("run")
    run_parser.add_argument("--section", required=True)
    run_parser.add_argument("--build", type=Path, required=True)
    run_parser.add_argument("--work", type=Path, required=True)
    run_parser.add_argument("--path", action="append", default=[])
    run_parser.add_argument("--tool", default="")
    args = parser.parse_args()
    if args.command == "compile":
        return compile_all(args.mcs, args.assembly, args.work)
    return run_section(args.section, args.build, args.work, args.path, args.tool)


if __name__ == "__main__":
    sys.exit(main())
