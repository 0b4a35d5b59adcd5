"""The velkor tool, the Python binding and the .NET binding say the same
words for the same status: the tool's failures as it prints them, and the
whole status and tag error tables between the two bindings.

Environment: VELKOR_TOOL (the velkor program), MONO and VELKOR_DOTNET_TESTS
(the .NET test runner, which prints its table with --describe), and what
the Python binding needs (VELKOR_LIBRARY, PYTHONPATH)."""

from __future__ import annotations

import os
import re
import subprocess
import unittest
from typing import List, Tuple

import velkor

# Tool command lines that fail, and the status and tag error each meets.
FAILURES: List[Tuple[List[str], int, int]] = [
    (["read", "--bank", "user", "--addr", "0", "--epc", "0123456789AB"], 0xFB, -1),
    (["read", "--bank", "user", "--addr", "250", "--words", "10"], 0xFC, 0x03),
    (["power", "--set", "40"], 0xFF, -1),
]
PRINTED = re.compile(r"failed: (0x[0-9A-F]{2} \(.*\))$", re.M)


def dotnet_table() -> List[str]:
    run = subprocess.run([os.environ["MONO"], os.environ["VELKOR_DOTNET_TESTS"], "--describe"],
                         capture_output=True, text=True, timeout=60, check=True)
    return run.stdout.splitlines()


class SameStatusText(unittest.TestCase):
    def test_the_tool_prints_what_both_bindings_say(self) -> None:
        table = dotnet_table()
        for args, status, tag_error in FAILURES:
            with self.subTest(" ".join(args)):
                run = subprocess.run([os.environ["VELKOR_TOOL"], "--emulate", *args],
                                     capture_output=True, text=True, timeout=60)
                self.assertNotEqual(run.returncode, 0)
                printed = PRINTED.search(run.stderr)
                assert printed, run.stderr
                expected = velkor.describe(status, tag_error)
                self.assertEqual(printed.group(1), expected)
                self.assertEqual(table[256 + tag_error if tag_error >= 0 else status], expected)

    def test_the_bindings_agree_on_every_status_and_tag_error(self) -> None:
        python = [velkor.describe(status) for status in range(256)]
        python += [velkor.describe(0xFC, code) for code in range(256)]
        self.assertEqual(dotnet_table(), python)
        self.assertEqual(python[0x30], "0x30 (no complete reply in time)")


if __name__ == "__main__":
    unittest.main()
