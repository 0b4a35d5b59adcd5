"""Checks the .NET binding's P/Invoke declarations against the C headers and,
for Windows, against the DLLs' export tables.

  pinvoke_signatures.py --platform linux|windows --mono MONO --runner VelkorTests.exe
                        [--objdump OBJDUMP --dll Velkor.dll ...]

The runner prints one line per declaration (--imports).  Each must name a
function of its library's header, with the header's calling convention, as
many parameters, and a C# type that marshals each C type on the platform:
the device handle pointer-sized, a library's constant text returned as a
pointer (never a string the marshaller would free), an output never bound to
a const input.  With --dll, every entry point is in the named DLL's exports.
"""

from __future__ import annotations

import argparse
import re
import subprocess
import sys
from pathlib import Path
from typing import Dict, List, NamedTuple, Set, Tuple

SOURCE_DIR = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE_DIR / "tests" / "docs"))
from check_param_docs import DECLARATION, TYPE_WORDS  # noqa: E402  (the headers' parser)

# Each library: its header, the DllImport name and calling convention.
LIBRARIES = {
    "Velkor": (SOURCE_DIR / "include" / "velkor.h", "Winapi"),
    "velkor_epc": (SOURCE_DIR / "include" / "velkor_epc.h", "Cdecl"),
    "velkor_emulator": (SOURCE_DIR / "emulator" / "velkor_emulator.h", "Cdecl"),
    "velkor_app": (SOURCE_DIR / "include" / "velkor_app.h", "Cdecl"),
}
DLL_NAMES = {"Velkor": "Velkor.dll", "velkor_epc": "velkor_epc.dll",
             "velkor_emulator": "velkor_emulator.dll", "velkor_app": "velkor_app.dll"}

BYTES_IN = {"Byte[]", "Byte&", "IntPtr"}
BYTES_OUT = BYTES_IN | {"out Byte&"}
# C parameter types and the C# types that marshal them on every platform.
PARAMETERS: Dict[str, Set[str]] = {
    "int": {"Int32"},
    "unsigned": {"UInt32"},
    "unsigned char": {"Byte"},
    "uint64_t": {"UInt64"},
    "size_t": {"UIntPtr"},
    # An int descriptor on Linux, passed pointer-sized as the 64-bit calling
    # conventions allow; a HANDLE on Windows.
    "VelkorHandle": {"IntPtr", "ReaderHandle"},
    "VelkorHandle *": {"IntPtr", "IntPtr[]"},
    "unsigned char *": BYTES_OUT,
    "uint8_t *": BYTES_OUT,
    "const unsigned char *": BYTES_IN,
    "const uint8_t *": BYTES_IN,
    "int *": {"Int32&", "out Int32&", "Int32[]", "IntPtr"},
    "size_t *": {"UIntPtr&", "out UIntPtr&"},
    "char *": {"Byte[]", "StringBuilder", "IntPtr"},
    "const char *": {"Byte[]", "String", "IntPtr"},
    "char **": {"IntPtr[]"},
    "void *": {"IntPtr"},
}
RESULTS: Dict[str, Set[str]] = {"int": {"Int32"}, "unsigned": {"UInt32"}, "const char *": {"IntPtr"},
                                "void": {"struct Void"}, "unsigned char *": {"IntPtr"},
                                "velkor_app_session *": {"IntPtr"}, "velkor_app_stop *": {"IntPtr"}}
# The handle a function returns is as wide as the platform's VelkorHandle.
HANDLE_RESULT = {"linux": {"Int32"}, "windows": {"IntPtr"}}
ENUM = re.compile(r"^velkor_epc_(status|key|scheme|field)$")
STRUCT_POINTER = re.compile(r"^(const )?velkor_(epc|app)_\w+ \*$")
# The core's opaque handles and the arrays it fills go as pointers.
OPAQUE_POINTER = re.compile(r"^velkor_app_(session|stop|tag) \*$")


class Declaration(NamedTuple):
    library: str
    entry: str
    convention: str
    result: str
    parameters: List[str]


class Prototype(NamedTuple):
    result: str
    parameters: List[str]


# Per library: its functions by name, and its calling convention.
Headers = Dict[str, Tuple[Dict[str, Prototype], str]]


def c_type(param: str) -> str:
    """A parameter's type without its name, spaced as "const char *"."""
    words = re.findall(r"[A-Za-z_]\w*", param)
    if len(words) > 1 and words[-1] not in TYPE_WORDS:  # named, as check_param_docs reads it
        param = param[: param.rindex(words[-1])]
    stars = param.count("*")
    return " ".join(param.replace("*", " ").split() + (["*" * stars] if stars else []))


def prototypes(header: Path) -> Dict[str, Prototype]:
    found = {}
    for match in DECLARATION.finditer(header.read_text()):
        params = match.group("params").strip()
        types = [] if params in ("", "void") else [c_type(p) for p in params.split(",")]
        result = c_type(match.group("result").replace("VELKOR_CALL", ""))
        found[match.group("name")] = Prototype(result, types)
    return found


def allowed_parameter(c: str) -> Set[str]:
    if ENUM.match(c):
        return {"Int32"}
    if STRUCT_POINTER.match(c):
        name = "struct "  # a by-reference structure; const ones are inputs only
        return {name} if c.startswith("const ") else {name, "out " + name}
    return PARAMETERS.get(c, set())


def parameter_fits(c: str, cs: str) -> bool:
    if OPAQUE_POINTER.match(c) and cs == "IntPtr":
        return True
    allowed = allowed_parameter(c)
    if STRUCT_POINTER.match(c):
        return any(cs.startswith(prefix) and cs.endswith("&") for prefix in allowed) and (
            not cs.startswith("out ") or "out struct " in allowed)
    return cs in allowed


def mismatches(d: Declaration, platform: str, headers: Headers) -> List[str]:
    """What keeps one declaration from fitting its C function on platform."""
    where = f"{d.library}!{d.entry}"
    if d.library not in headers:
        return [f"{where}: no library of this SDK is called {d.library!r}"]
    known, convention = headers[d.library]
    prototype = known.get(d.entry)
    if prototype is None:
        return [f"{where}: its header declares no such function"]
    found = []
    if d.convention != convention:
        found.append(f"{where}: calling convention {d.convention}, the library's is {convention}")
    results = HANDLE_RESULT[platform] if prototype.result == "VelkorHandle" else (
        {"Int32"} if ENUM.match(prototype.result) else RESULTS.get(prototype.result, set()))
    if d.result not in results:
        found.append(f"{where}: returns {d.result} for C's {prototype.result!r}")
    if len(d.parameters) != len(prototype.parameters):
        return found + [f"{where}: {len(d.parameters)} parameters, the header has "
                        f"{len(prototype.parameters)}"]
    for i, (c, cs) in enumerate(zip(prototype.parameters, d.parameters)):
        if not parameter_fits(c, cs):
            found.append(f"{where}: parameter {i + 1} is {cs} for C's {c!r}")
    return found


def problems(declarations: List[Declaration], platform: str) -> List[str]:
    """Each declaration fits its function on platform, or on the other one
    (a binding may declare a function twice and pick by platform); each
    function declared has a declaration that fits on platform."""
    headers = {library: (prototypes(path), convention)
               for library, (path, convention) in LIBRARIES.items()}
    found: List[str] = []
    fitting: Dict[Tuple[str, str], bool] = {}
    for d in declarations:
        here = mismatches(d, platform, headers)
        fitting[(d.library, d.entry)] = fitting.get((d.library, d.entry), False) or not here
        elsewhere = [other for other in HANDLE_RESULT
                     if other != platform and not mismatches(d, other, headers)]
        if here and not elsewhere:
            found += here
    found += [f"{library}!{entry}: no declaration fits {platform}"
              for (library, entry), fits in fitting.items() if not fits]
    return found


def dll_exports(objdump: str, dll: Path) -> Set[str]:
    """The names in a DLL's export table, as objdump -p prints them."""
    dump = subprocess.run([objdump, "-p", str(dll)], capture_output=True, text=True,
                          check=True).stdout
    table = dump.split("[Ordinal/Name Pointer] Table", 1)
    if len(table) < 2:
        raise SystemExit(f"no export table in {dll}")
    return set(re.findall(r"^\s*\[\s*\d+\]\s+(\S+)\s*$", table[1], re.M))


def missing_exports(declarations: List[Declaration], objdump: str,
                    dlls: List[Path]) -> List[str]:
    exports = {dll.name: dll_exports(objdump, dll) for dll in dlls}
    found = []
    for d in declarations:
        dll = DLL_NAMES.get(d.library, "")
        if dll in exports and d.entry not in exports[dll]:
            found.append(f"{d.library}!{d.entry}: {dll} does not export it")
    unchecked = set(DLL_NAMES.values()) - set(exports)
    if unchecked:
        found.append("no export table given for " + ", ".join(sorted(unchecked)))
    return found


def read_declarations(mono: str, runner: str) -> List[Declaration]:
    table = subprocess.run([mono, runner, "--imports"], capture_output=True, text=True,
                           check=True, timeout=120).stdout
    declarations = []
    for line in table.splitlines():
        library, entry, convention, result, params = line.split("\t")
        declarations.append(Declaration(library, entry, convention, result,
                                        params.split(",") if params else []))
    return declarations


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--platform", choices=sorted(HANDLE_RESULT), required=True)
    parser.add_argument("--mono", required=True)
    parser.add_argument("--runner", required=True)
    parser.add_argument("--objdump")
    parser.add_argument("--dll", type=Path, action="append", default=[])
    args = parser.parse_args()
    declarations = read_declarations(args.mono, args.runner)
    found = problems(declarations, args.platform)
    if args.dll:
        found += missing_exports(declarations, args.objdump, args.dll)
    for problem in found:
        print(problem)
    print(f"{len(declarations)} declarations checked, {len(found)} problems")
    return 1 if found or not declarations else 0


if __name__ == "__main__":
    sys.exit(main())
