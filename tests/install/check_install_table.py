#!/usr/bin/env python3
"""Checks Getting started's table of what `cmake --install` puts in place
against an installed prefix, both ways.

  check_install_table.py GETTING_STARTED_MD PREFIX

A row names files and directories in backquotes (`*` as in a shell pattern;
a trailing `/` for a directory) and, in its last cell, where they go (the
backquoted words ending in `/`).  Every installed file must be one of its
row's names in one of its row's places, or lie in a directory so named;
every name must match something installed, but in a row that says "when"
(a part built only when some program is present).
"""

from __future__ import annotations

import fnmatch
import re
import sys
from pathlib import Path
from typing import List, Set, Tuple

Row = Tuple[List[str], List[str], bool]  # names, places, whether optional


def table_rows(markdown: str) -> List[Row]:
    lines = markdown.splitlines()
    start = next(i for i, line in enumerate(lines)
                 if line.startswith("| Component | Installed | Where"))
    rows: List[Row] = []
    for line in lines[start + 2:]:
        if not line.startswith("|"):
            break
        cells = [cell.strip() for cell in line.strip("|").split("|")]
        names = re.findall(r"`([^`]+)`", cells[1])
        places = [w for w in re.findall(r"`([^`]+)`", cells[2]) if w.endswith("/")]
        rows.append((names, places, " when " in cells[1]))
    return rows


def covered(path: str, row: Row) -> str:
    """The row's name that covers path, or ''."""
    names, places, _ = row
    for place in places:
        if not path.startswith(place):
            continue
        first = path[len(place):].split("/")[0]
        nested = "/" in path[len(place):]
        for name in names:
            if fnmatch.fnmatchcase(first, name.rstrip("/")) and (nested or not name.endswith("/")):
                return name
    return ""


def main() -> int:
    rows = table_rows(Path(sys.argv[1]).read_text())
    prefix = Path(sys.argv[2])
    installed = sorted(str(p.relative_to(prefix)) for p in prefix.rglob("*")
                       if p.is_file() or p.is_symlink())
    problems: List[str] = []
    used: Set[Tuple[int, str]] = set()
    for path in installed:
        hits = [(i, covered(path, row)) for i, row in enumerate(rows)]
        hits = [(i, name) for i, name in hits if name]
        if not hits:
            problems.append(f"installed but not in the table: {path}")
        used.update(hits)
    for i, (names, places, optional) in enumerate(rows):
        if not places:
            problems.append(f"row {i + 1} names no place (`dir/`): {names}")
        for name in names:
            if (i, name) not in used and not optional:
                problems.append(f"in the table but not installed: {name} in {places}")
    for problem in problems:
        print(problem)
    print(f"{len(installed)} files installed, {len(rows)} rows: "
          f"{'ok' if not problems else f'{len(problems)} problems'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
