"""A test case with a fresh emulated reader per test, so that no test sees
another's tags or settings."""

from __future__ import annotations

import unittest
from pathlib import Path
import velkor

SOURCE_DIR = Path(__file__).resolve().parents[3]


class EmulatedReaderCase(unittest.TestCase):
    seed = 7

    def setUp(self) -> None:
        self.reader = velkor.Reader.emulated(seed=self.seed)
        self.addCleanup(self.reader.close)

    @property
    def emulator(self) -> velkor.Emulator:
        assert self.reader.emulator is not None
        return self.reader.emulator

