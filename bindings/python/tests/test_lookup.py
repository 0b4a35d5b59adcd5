"""Where the binding looks for its libraries: the environment variable, then
beside the package, then the system's search path."""

from __future__ import annotations

import os
import re
import tempfile
import unittest
from pathlib import Path

from emulated_case import SOURCE_DIR

import velkor
from velkor import _api, _lib


def built_library() -> str:
    path = os.environ.get(_lib.VELKOR.env)
    if not path:
        raise unittest.SkipTest(f"{_lib.VELKOR.env} names no built library")
    return path


class Lookup(unittest.TestCase):
    def setUp(self) -> None:
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        # A package directory inside a directory that could hold the library.
        self.package = Path(scratch.name) / "site" / "velkor"
        self.package.mkdir(parents=True)
        self.built = built_library()

    def place(self, directory: Path) -> str:
        target = directory / _lib.VELKOR.files[0]
        target.symlink_to(os.path.abspath(self.built))
        return str(target)

    def test_the_environment_variable_comes_first(self) -> None:
        self.place(self.package)
        environ = {_lib.VELKOR.env: self.built}
        self.assertEqual(_lib.locate(_lib.VELKOR, environ, self.package), self.built)

    def test_a_variable_naming_no_file_is_an_error(self) -> None:
        self.place(self.package)
        environ = {_lib.VELKOR.env: str(self.package / "missing.so")}
        with self.assertRaisesRegex(_lib.LibraryNotFoundError, "VELKOR_LIBRARY"):
            _lib.locate(_lib.VELKOR, environ, self.package)

    def test_then_the_package_directory_then_the_one_holding_it(self) -> None:
        beside = self.place(self.package.parent)
        self.assertEqual(_lib.locate(_lib.VELKOR, {}, self.package), beside)
        inside = self.place(self.package)
        self.assertEqual(_lib.locate(_lib.VELKOR, {}, self.package), inside)

    def test_a_library_found_beside_the_package_loads_and_answers(self) -> None:
        path = _lib.locate(_lib.VELKOR, {}, Path(self.place(self.package)).parent)
        library = _api.bind(_lib.load(_lib.VELKOR, path))
        version = (_api.U8 * 3)()
        self.assertEqual(library.GetSDKVersion(version), velkor.STATUS_OK)
        project = re.search(
            r"project\(Velkor VERSION ([\d.]+)", (SOURCE_DIR / "CMakeLists.txt").read_text()
        )
        assert project
        self.assertEqual(".".join(map(str, version)), project.group(1))

    def test_nothing_anywhere_says_where_to_put_it(self) -> None:
        lookup = _lib.LibraryLookup("VELKOR_TEST_UNSET", ("libvelkor_absent.so",), "velkor_absent")
        with self.assertRaisesRegex(_lib.LibraryNotFoundError, "VELKOR_TEST_UNSET"):
            _lib.locate(lookup, {}, self.package)


if __name__ == "__main__":
    unittest.main()
