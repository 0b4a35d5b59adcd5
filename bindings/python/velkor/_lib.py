"""Finding and loading the shared libraries the binding drives.

Each library is looked for, in order: at the file its environment variable
names, beside the package (in the package's directory, then in the directory
that holds it), in the library directory of the prefix the package is
installed in (a virtual environment, /usr for the Debian package), then on
the system's search path.  A variable naming no file
is an error rather than a reason to look elsewhere: it would otherwise load
some other copy without a word.
"""

from __future__ import annotations

import ctypes
import ctypes.util
import os
import sys
import sysconfig
from dataclasses import dataclass
from functools import lru_cache
from pathlib import Path
from typing import Mapping, Tuple

PACKAGE_DIR = Path(__file__).resolve().parent
WINDOWS = sys.platform == "win32"


class LibraryNotFoundError(OSError):
    """A library of the binding could not be found."""


@dataclass(frozen=True)
class LibraryLookup:
    env: str  # environment variable that names the file
    files: Tuple[str, ...]  # file names looked for beside the package
    name: str  # name for the system search
    stdcall: bool = False  # Windows calling convention of the library


VELKOR = LibraryLookup(
    env="VELKOR_LIBRARY",
    files=("Velkor.dll",) if WINDOWS else ("libVelkor.so", "libVelkor.so.1"),
    name="Velkor",
    stdcall=True,
)
EPC = LibraryLookup(
    env="VELKOR_EPC_LIBRARY",
    files=("velkor_epc.dll",) if WINDOWS else ("libvelkor_epc.so", "libvelkor_epc.so.1"),
    name="velkor_epc",
)
APP = LibraryLookup(
    env="VELKOR_APP_LIBRARY",
    files=("velkor_app.dll",) if WINDOWS else ("libvelkor_app.so", "libvelkor_app.so.1"),
    name="velkor_app",
)
EMULATOR = LibraryLookup(
    env="VELKOR_EMULATOR_LIBRARY",
    files=("libvelkor_emulator.so",),
    name="velkor_emulator",
)


def prefix_lib_dirs(package_dir: Path) -> Tuple[Path, ...]:
    """<prefix>/lib (and its multiarch directory) for a package installed in
    <prefix>/lib/python3/dist-packages or <prefix>/lib/python3.X/site-packages."""
    for parent in package_dir.parents:
        if parent.name == "lib":
            multiarch = sysconfig.get_config_var("MULTIARCH")
            return (parent, parent / multiarch) if multiarch else (parent,)
    return ()


def locate(
    lookup: LibraryLookup,
    environ: Mapping[str, str] = os.environ,
    package_dir: Path = PACKAGE_DIR,
) -> str:
    """The path (or, from the system search, the name) to load."""
    named = environ.get(lookup.env)
    if named:
        if not os.path.isfile(named):
            raise LibraryNotFoundError(f"{lookup.env} names {named!r}, which is not a file")
        return named
    for directory in (package_dir, package_dir.parent, *prefix_lib_dirs(package_dir)):
        for file in lookup.files:
            candidate = directory / file
            if candidate.is_file():
                return str(candidate)
    found = ctypes.util.find_library(lookup.name)
    if found:
        return found
    raise LibraryNotFoundError(
        f"cannot find {lookup.files[0]}: set {lookup.env} to its path, put it beside "
        f"the velkor package ({package_dir}) or install it"
    )


def load(lookup: LibraryLookup, path: str) -> ctypes.CDLL:
    if WINDOWS and lookup.stdcall:
        dll: ctypes.CDLL = ctypes.WinDLL(path)  # type: ignore[attr-defined]
        return dll
    return ctypes.CDLL(path)


@lru_cache(maxsize=None)
def loaded(lookup: LibraryLookup) -> ctypes.CDLL:
    """The library, loaded once per process."""
    return load(lookup, locate(lookup))
