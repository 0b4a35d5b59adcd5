#!/usr/bin/env python3
"""Checks that scripts/install-deps.sh and the build cannot drift apart.

  check_build_deps.py SOURCE_DIR [CMAKE_CACHE]

- Every package, program and pkg-config module the CMake files look for is
  named, in backquotes, in the comment of the install-deps.sh package that
  provides it.
- What the build itself looks for (outside the tests, benchmarks, fuzz
  targets, bindings and cross toolchains) comes from the base list, which
  README.md's first command installs: --tests adds only what tests need.
- With a CMake cache: each program and package directory that configure
  found belongs (dpkg -S) to that package or to one it depends on, so the
  names in the comments are true.
- .ci/run runs README.md's test command, and no other script installs
  packages.
"""

from __future__ import annotations

import os
import re
import subprocess
import sys
from pathlib import Path
from typing import Dict, Iterator, List, Optional, Set, Tuple

# Provided by the C library or by this project itself.
NOT_PACKAGED = {"Threads", "Velkor"}
FIND_PROGRAM_KEYWORDS = {
    "NAMES", "NAMES_PER_DIR", "HINTS", "PATHS", "PATH_SUFFIXES", "DOC", "REQUIRED",
    "VALIDATOR", "REGISTRY_VIEW", "ENV", "NO_CACHE", "NO_DEFAULT_PATH",
    "NO_PACKAGE_ROOT_PATH", "NO_CMAKE_PATH", "NO_CMAKE_ENVIRONMENT_PATH",
    "NO_SYSTEM_ENVIRONMENT_PATH", "NO_CMAKE_SYSTEM_PATH", "NO_CMAKE_INSTALL_PREFIX",
    "CMAKE_FIND_ROOT_PATH_BOTH", "ONLY_CMAKE_FIND_ROOT_PATH", "NO_CMAKE_FIND_ROOT_PATH",
}
PKG_CONFIG_KEYWORDS = {"REQUIRED", "QUIET", "NO_CMAKE_PATH", "NO_CMAKE_ENVIRONMENT_PATH",
                       "IMPORTED_TARGET", "GLOBAL"}
CALL = re.compile(r"\b(find_package|find_program|velkor_find_test_program|"
                  r"pkg_check_modules|pkg_search_module)\s*\(([^)]*)\)", re.S)


def packages_and_names(script: Path) -> Tuple[List[str], Dict[str, str], Set[str]]:
    """The packages of install-deps.sh's lists, name -> package from their
    comments, and the packages of the base list (build_packages)."""
    packages: List[str] = []
    provider: Dict[str, str] = {}
    base: Set[str] = set()
    in_list = ""
    for line in script.read_text().splitlines():
        start = re.match(r"^([a-z_]+)_packages=\($", line)
        if start:
            in_list = start[1]
        elif in_list and line.strip() == ")":
            in_list = ""
        elif in_list:
            match = re.match(r"^\s+([a-z0-9][a-z0-9.+-]+)\s*(?:#(.*))?$", line)
            if match:
                packages.append(match[1])
                if in_list == "build":
                    base.add(match[1])
                for name in re.findall(r"`([^`]+)`", match[2] or ""):
                    provider[name] = match[1]
    return packages, provider, base


def is_build_file(relative: Path, text: str) -> bool:
    """Whether a CMake file belongs to a user's build: not to the tests,
    benchmarks, fuzz targets or bindings, and no cross toolchain."""
    return (relative.parts[0] not in ("tests", "bench", "fuzz", "bindings")
            and "CMAKE_SYSTEM_NAME" not in text)


def cmake_files(source: Path) -> Iterator[Path]:
    for root, dirs, files in os.walk(source):
        dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
        for file in files:
            if file == "CMakeLists.txt" or file.endswith(".cmake"):
                yield Path(root) / file


def wanted_names(text: str) -> Iterator[Tuple[str, str, Optional[str]]]:
    """(kind, name, cache variable) of each lookup in a CMake file."""
    text = re.sub(r"#[^\n]*", "", text)
    for command, args in CALL.findall(text):
        words = args.split()
        if not words:
            continue
        if command == "find_package":
            yield "package", words[0], words[0] + "_DIR"
        elif command in ("pkg_check_modules", "pkg_search_module"):
            for word in words[1:]:
                if word not in PKG_CONFIG_KEYWORDS:
                    yield "pkg-config module", re.split(r"[<>=]", word)[0], None
        else:
            names = words[1:]
            if command == "find_program" and names and names[0] == "NAMES":
                names = names[1:]
            elif command == "find_program":
                names = names[:1]
            kind = "program" if command == "find_program" else "test program"
            for name in names:
                if name in FIND_PROGRAM_KEYWORDS:
                    break
                yield kind, name, words[0]


def depends_closure(package: str) -> Set[str]:
    """The package and every installed package it depends on."""
    seen: Set[str] = set()
    todo = [package]
    while todo:
        name = todo.pop()
        if name in seen:
            continue
        seen.add(name)
        out = subprocess.run(["dpkg-query", "-W", "-f=${Depends}, ${Pre-Depends}", name],
                             capture_output=True, text=True).stdout
        for alternative in re.split(r"[,|]", out):
            dependency = re.sub(r"\(.*?\)|:\S+", "", alternative).strip()
            if dependency:
                todo.append(dependency)
    return seen


def owners(path: str) -> Set[str]:
    result = subprocess.run(["dpkg", "-S", path], capture_output=True, text=True)
    if result.returncode != 0:
        return set()
    found: Set[str] = set()
    for line in result.stdout.splitlines():
        if line.startswith("diversion "):
            continue
        found.update(p.strip().split(":")[0] for p in line.rsplit(": ", 1)[0].split(","))
    return found


def fenced_blocks(markdown: str) -> List[str]:
    return re.findall(r"^```[a-z]*\n(.*?)^```", markdown, re.S | re.M)


def main() -> int:
    source = Path(sys.argv[1])
    cache = Path(sys.argv[2]) if len(sys.argv) > 2 else None
    script = source / "scripts" / "install-deps.sh"
    packages, provider, base = packages_and_names(script)
    problems: List[str] = []
    for package, count in ((p, packages.count(p)) for p in set(packages)):
        if count > 1:
            problems.append(f"{package} is listed {count} times in {script.name}")

    lookups: List[Tuple[str, str, Optional[str], Path]] = []
    for file in sorted(cmake_files(source)):
        text = file.read_text()
        relative = file.relative_to(source)
        for kind, name, variable in wanted_names(text):
            if "${" in name or name in NOT_PACKAGED:
                continue
            lookups.append((kind, name, variable, relative))
            if name not in provider:
                problems.append(f"{relative} looks for the {kind} {name}, "
                                f"which no package of {script.name} names (`{name}`)")
            elif (is_build_file(relative, text) and kind != "test program"
                  and provider[name] not in base):
                problems.append(f"{relative} builds with the {kind} {name}, but "
                                f"{script.name} installs {provider[name]} only for the "
                                f"tests: it belongs on the base list")

    checked = 0
    if cache is not None and cache.is_file():
        values = dict(re.findall(r"^([A-Za-z0-9_]+):[A-Z]+=(.*)$", cache.read_text(), re.M))
        for kind, name, variable, file in lookups:
            value = values.get(variable or "", "")
            if name not in provider or not value.startswith("/") or not os.path.exists(value):
                continue
            checked += 1
            found_in = owners(os.path.realpath(value)) or owners(value)
            if not found_in:
                print(f"note: {value} ({name}) belongs to no package; not checked")
            elif not found_in & depends_closure(provider[name]):
                problems.append(f"{file}: the {kind} {name} was found at {value}, which belongs "
                                f"to {', '.join(sorted(found_in))}, not to {provider[name]} "
                                f"as {script.name} says")

    blocks = fenced_blocks((source / "README.md").read_text())
    test_command = blocks[1].strip() if len(blocks) > 1 else ""
    ci = (source / ".ci" / "run").read_text()
    if "install-deps.sh --tests" not in test_command or test_command not in ci:
        problems.append(f".ci/run does not run README.md's test command ({test_command!r})")
    for file in [source / ".ci" / "run", *sorted((source / "scripts").glob("*.sh"))]:
        if file != script and re.search(r"\bapt(-get)?\s+install\b", file.read_text()):
            problems.append(f"{file.relative_to(source)} installs packages; only "
                            f"{script.name} may")

    for problem in problems:
        print(problem)
    print(f"{len(lookups)} lookups in the CMake files ({checked} found by configure, "
          f"checked with dpkg -S), {len(packages)} packages: "
          f"{'ok' if not problems else f'{len(problems)} problems'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
