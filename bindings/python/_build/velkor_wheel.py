"""A build backend that writes the velkor wheel with the standard library.

The package is pure Python with no dependencies, so a wheel is a zip of the
velkor directory and its dist-info; nothing needs to be fetched to build it.
Hooks: build_wheel, build_editable and build_sdist.
"""

from __future__ import annotations

import base64
import hashlib
import io
import re
import tarfile
import zipfile
from pathlib import Path
from typing import Dict, List, Optional, Tuple

ROOT = Path(__file__).resolve().parent.parent
PACKAGE = "velkor"
TAG = "py3-none-any"


def _project() -> Dict[str, str]:
    """name, version, description and requires-python of pyproject.toml."""
    text = (ROOT / "pyproject.toml").read_text(encoding="utf-8")
    section = text.split("[project]", 1)[1].split("\n[", 1)[0]
    fields = dict(re.findall(r'^([a-z-]+)\s*=\s*"([^"]*)"', section, re.M))
    for key in ("name", "version", "description", "requires-python"):
        if key not in fields:
            raise ValueError(f"pyproject.toml: [project] has no {key}")
    return fields


def _metadata(project: Dict[str, str]) -> str:
    lines = [
        "Metadata-Version: 2.1",
        f"Name: {project['name']}",
        f"Version: {project['version']}",
        f"Summary: {project['description']}",
        f"Requires-Python: {project['requires-python']}",
    ]
    if "readme" in project:
        readme = (ROOT / project["readme"]).read_text(encoding="utf-8")
        lines += ["Description-Content-Type: text/markdown", "", readme]
    return "\n".join(lines) + "\n"


def _sources() -> List[Path]:
    files = sorted((ROOT / PACKAGE).rglob("*"))
    return [f for f in files if f.is_file() and (f.suffix == ".py" or f.name == "py.typed")]


def _write_wheel(directory: str, members: List[Tuple[str, bytes]]) -> str:
    project = _project()
    dist = f"{project['name']}-{project['version']}"
    info = f"{dist}.dist-info"
    members = members + [
        (f"{info}/METADATA", _metadata(project).encode()),
        (f"{info}/WHEEL", (f"Wheel-Version: 1.0\nGenerator: velkor_wheel\n"
                           f"Root-Is-Purelib: true\nTag: {TAG}\n").encode()),
    ]
    record = io.StringIO()
    for name, data in members:
        digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=")
        record.write(f"{name},sha256={digest.decode()},{len(data)}\n")
    record.write(f"{info}/RECORD,,\n")
    members.append((f"{info}/RECORD", record.getvalue().encode()))
    wheel = f"{dist}-{TAG}.whl"
    with zipfile.ZipFile(Path(directory) / wheel, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in members:
            # A fixed time stamp: the same sources give the same wheel.
            entry = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
            entry.external_attr = 0o644 << 16
            archive.writestr(entry, data, zipfile.ZIP_DEFLATED)
    return wheel


def build_wheel(wheel_directory: str, config_settings: Optional[dict] = None,
                metadata_directory: Optional[str] = None) -> str:
    members = [(f.relative_to(ROOT).as_posix(), f.read_bytes()) for f in _sources()]
    return _write_wheel(wheel_directory, members)


def build_editable(wheel_directory: str, config_settings: Optional[dict] = None,
                   metadata_directory: Optional[str] = None) -> str:
    # A path file puts this directory on sys.path: edits take effect at once.
    return _write_wheel(wheel_directory, [(f"{PACKAGE}.pth", f"{ROOT}\n".encode())])


def build_sdist(sdist_directory: str, config_settings: Optional[dict] = None) -> str:
    project = _project()
    base = f"{project['name']}-{project['version']}"
    with tarfile.open(Path(sdist_directory) / f"{base}.tar.gz", "w:gz") as archive:
        for file in [ROOT / "pyproject.toml", ROOT / "_build" / "velkor_wheel.py", *_sources()]:
            archive.add(file, arcname=f"{base}/{file.relative_to(ROOT).as_posix()}")
        pkg_info = tarfile.TarInfo(f"{base}/PKG-INFO")
        data = _metadata(project).encode()
        pkg_info.size = len(data)
        archive.addfile(pkg_info, io.BytesIO(data))
    return f"{base}.tar.gz"
