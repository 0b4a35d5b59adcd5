#!/usr/bin/env python3
"""Installs the Debian packages with Getting started's own `apt-get install`
command, as it stands, into a scratch Debian root, and uses them there: the
tool's emulated inventory, and a C program built against the installed
libvelkor-dev.  apt-get resolves the dependencies itself, so a package the
command leaves out fails it.  README.md's cpack sentence must name every
package too.

  check_apt_install.py GETTING_STARTED_MD README_MD PACKAGE_DIR WORK_DIR
                       CACHE_DIR MMDEBSTRAP C_COMPILER PKG_CONFIG

The root is made once with mmdebstrap (minbase, plus what the packages need
from Debian and sudo, which the command begins with) and kept as a tar file
in CACHE_DIR; each run unpacks a fresh copy.  Needs root (chroot, the
root's device nodes): exits 77, skipped, without.
"""

from __future__ import annotations

import glob
import hashlib
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path
from typing import Dict, List

SKIP = 77


def run(command: List[str], **kwargs: object) -> str:
    result = subprocess.run(command, capture_output=True, text=True, **kwargs)  # type: ignore
    if result.returncode != 0:
        raise SystemExit(f"failed ({result.returncode}): {' '.join(command)}\n"
                         f"{result.stdout}{result.stderr}")
    return result.stdout


def documented_command(markdown: str) -> str:
    """The apt-get line of the fenced block that builds the packages, its
    continuation lines joined."""
    for block in re.findall(r"^```sh\n(.*?)^```", markdown, re.S | re.M):
        if "cpack -G DEB" in block:
            for line in re.sub(r"\s*\\\n\s*", " ", block).splitlines():
                if "apt-get install" in line:
                    return line.strip()
    raise SystemExit("no apt-get install command beside cpack -G DEB")


def readme_names_every_package(readme: str, packages: List[str]) -> None:
    sentence = re.search(r"cpack -G DEB`(.*?)\.(\s|$)", readme, re.S)
    named = set(re.findall(r"`([a-z0-9.+-]+)`", sentence[1])) if sentence else set()
    missing = [p for p in packages if p not in named]
    if missing:
        raise SystemExit(f"README.md's cpack sentence leaves out {', '.join(missing)}")


def debian_dependencies(debs: List[Path], ours: List[str]) -> List[str]:
    """What the packages need from Debian: each Depends entry's first
    alternative, without version or architecture qualifier."""
    needed = set()
    for deb in debs:
        depends = run(["dpkg-deb", "--field", str(deb), "Depends"])
        for entry in depends.split(","):
            name = re.sub(r"\(.*?\)|:\w+", "", entry.split("|")[0]).strip()
            if name and name not in ours:
                needed.add(name)
    return sorted(needed)


def mirror() -> str:
    """The host's Debian mirror, as apt is configured."""
    for sources in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
        for uri in re.findall(r"^URIs:\s*(\S+)", Path(sources).read_text(), re.M):
            if "security" not in uri:
                return uri
    if os.path.exists("/etc/apt/sources.list"):
        for uri in re.findall(r"^deb\s+(?:\[[^]]*\]\s+)?(\S+)",
                              Path("/etc/apt/sources.list").read_text(), re.M):
            if "security" not in uri:
                return uri
    return "http://deb.debian.org/debian"


def base_root(cache: Path, mmdebstrap: str, include: List[str]) -> Path:
    """The cached tar of a minbase root with include installed, made when
    missing."""
    codename = re.search(r"^VERSION_CODENAME=(\w+)", Path("/etc/os-release").read_text(), re.M)[1]
    arch = run(["dpkg", "--print-architecture"]).strip()
    key = hashlib.sha256(",".join(include).encode()).hexdigest()[:12]
    tar = cache / f"debian-{codename}-{arch}-{key}.tar"
    if tar.exists():
        return tar
    cache.mkdir(parents=True, exist_ok=True)
    making = cache / f"{tar.stem}.{os.getpid()}.tar"
    print(f"making the scratch root once (cached as {tar}): {', '.join(include)}")
    try:
        # A root thrown away after each run needs no fsync after every file.
        run([mmdebstrap, "--variant=minbase", f"--include={','.join(include)}",
             f"--architectures={arch}", "--dpkgopt=force-unsafe-io", codename, str(making),
             mirror()])
        os.replace(making, tar)
    finally:
        if making.exists():
            making.unlink()
    return tar


def in_root(root: Path, command: str) -> subprocess.CompletedProcess[str]:
    """Runs command as root inside root.  Nothing is mounted there: the
    root's own /dev nodes are all that apt-get, dpkg and the programs use."""
    return subprocess.run(
        ["chroot", str(root), "/bin/sh", "-c", command],
        env={"PATH": "/usr/sbin:/usr/bin:/sbin:/bin", "HOME": "/root", "LANG": "C.UTF-8",
             "DEBIAN_FRONTEND": "noninteractive"},
        capture_output=True, text=True, timeout=600)


def checked_in_root(root: Path, command: str) -> str:
    result = in_root(root, command)
    if result.returncode != 0:
        raise SystemExit(f"in the scratch root, failed ({result.returncode}): {command}\n"
                         f"{result.stdout}{result.stderr}")
    return result.stdout


def main() -> int:
    doc, readme, package_dir, work, cache, mmdebstrap, cc, pkg_config = sys.argv[1:9]
    if os.geteuid() != 0:
        print("skipped: installing into a scratch root needs root (chroot)")
        return SKIP
    debs = sorted(Path(package_dir).glob("*.deb"))
    packages: Dict[str, Path] = {deb.name.split("_")[0]: deb for deb in debs}
    if not packages:
        raise SystemExit(f"no packages in {package_dir}")
    readme_names_every_package(Path(readme).read_text(), sorted(packages))
    command = documented_command(Path(doc).read_text())

    include = sorted(set(debian_dependencies(debs, list(packages))) | {"sudo"})
    tar = base_root(Path(cache), mmdebstrap, include)
    work_dir = Path(work)
    root = work_dir / "root"
    shutil.rmtree(work_dir, ignore_errors=True)
    root.mkdir(parents=True)
    try:
        run(["tar", "-C", str(root), "-xf", str(tar)])
        (root / "packages").mkdir()
        for deb in debs:
            shutil.copy(deb, root / "packages")
        # The user's "yes" to apt-get's question, should it ask one.
        (root / "etc/apt/apt.conf.d/90velkor-check").write_text('APT::Get::Assume-Yes "true";\n')

        checked_in_root(root, f"cd /packages && {command}")
        states = checked_in_root(root, "dpkg-query -W -f='${Package} ${Status}\\n' "
                                 + " ".join(sorted(packages)))
        left_out = [line.split()[0] for line in states.splitlines()
                    if not line.endswith("install ok installed")]
        if left_out:
            raise SystemExit(f"{command}\nleaves out {', '.join(left_out)}")

        out = checked_in_root(root, "velkor --emulate inventory")
        if not re.fullmatch(r"([0-9A-F]+\n)+", out):
            raise SystemExit(f"velkor --emulate inventory in the scratch root printed:\n{out}")

        # The example as the installed pkg-config file builds it, run there.
        flags = run([pkg_config, "--cflags", "--libs", "velkor-emulator"],
                    env=dict(os.environ, PKG_CONFIG_SYSROOT_DIR=str(root),
                             PKG_CONFIG_LIBDIR=f"{root}/usr/lib/pkgconfig")).split()
        run([cc, "-std=c99", f"{root}/usr/share/doc/libvelkor-dev/examples/first_inventory.c",
             *flags, "-o", f"{root}/tmp/first_inventory"])
        out = checked_in_root(root, "/tmp/first_inventory --emulate")
        if not re.search(r"\ninventory: [1-9][0-9]* tags\n.*\nTID of tag 1: [0-9A-F]+\n$", out,
                         re.S):
            raise SystemExit(f"first_inventory --emulate in the scratch root printed:\n{out}")
    finally:
        shutil.rmtree(work_dir, ignore_errors=True)
    print(f"{command}: {len(packages)} packages installed; the tool and a C program ran")
    return 0


if __name__ == "__main__":
    sys.exit(main())
