"""The low-level binding: every plain-name export typed exactly as velkor.h
declares it."""

from __future__ import annotations

import ctypes
import re
import unittest
from typing import Dict, List

from emulated_case import SOURCE_DIR

import velkor
from velkor import _api

# C parameter types of velkor.h and their ctypes counterparts.
C_TYPES = {
    "unsigned char": ctypes.c_ubyte,
    "unsigned char *": ctypes.POINTER(ctypes.c_ubyte),
    "int": ctypes.c_int,
    "int *": ctypes.POINTER(ctypes.c_int),
    "void *": ctypes.c_void_p,
    "char **": ctypes.POINTER(ctypes.c_char_p),
    "VelkorHandle": _api.HANDLE,
    "VelkorHandle *": ctypes.POINTER(_api.HANDLE),
}


def plain_exports() -> List[str]:
    """The names tests/exports.txt lists without a C++ signature."""
    lines = (SOURCE_DIR / "tests" / "exports.txt").read_text().splitlines()
    return [n.strip() for n in lines if n.strip() and not n.startswith("#") and "(" not in n]


def header_prototypes() -> Dict[str, List[object]]:
    """Every exported function of velkor.h with its parameters' ctypes types."""
    text = re.sub(r"/\*.*?\*/", "", (SOURCE_DIR / "include" / "velkor.h").read_text(), flags=re.S)
    prototypes = {}
    for name, params in re.findall(
        r"VELKOR_EXPORT\s+int\s+VELKOR_CALL\s+(\w+)\s*\((.*?)\);", text, flags=re.S
    ):
        types = []
        for param in params.split(","):
            declared = re.match(r"(.*?)\s*(\**)\s*\w+$", " ".join(param.split()))
            assert declared, param
            stars = declared.group(2)
            types.append(C_TYPES[declared.group(1) + (" " + stars if stars else "")])
        prototypes[name] = types
    return prototypes


class Signatures(unittest.TestCase):
    def test_every_plain_export_is_bound_and_nothing_else(self) -> None:
        exports = plain_exports()
        self.assertGreater(len(exports), 90)
        self.assertEqual(sorted(exports), sorted({**_api.SIGNATURES, **_api.TEXT_SIGNATURES}))

    def test_argument_types_follow_the_header(self) -> None:
        prototypes = header_prototypes()
        self.assertEqual(sorted(prototypes), sorted(_api.SIGNATURES))
        for name, argtypes in prototypes.items():
            with self.subTest(function=name):
                self.assertEqual(_api.SIGNATURES[name], argtypes)

    def test_the_loaded_library_has_every_function_typed(self) -> None:
        library = velkor.library()
        for name, argtypes in _api.SIGNATURES.items():
            with self.subTest(function=name):
                function = getattr(library, name)
                self.assertEqual(list(function.argtypes), argtypes)
                self.assertIs(function.restype, ctypes.c_int)
        for name, argtypes in _api.TEXT_SIGNATURES.items():
            with self.subTest(function=name):
                self.assertEqual(list(getattr(library, name).argtypes), argtypes)
                self.assertIs(getattr(library, name).restype, ctypes.c_char_p)


if __name__ == "__main__":
    unittest.main()
