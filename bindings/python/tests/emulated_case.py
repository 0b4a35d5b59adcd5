"""Test cases on the emulator: every emulated reader a test starts is a
witness, and the test fails when one saw the host break the report protocol;
EmulatedReaderCase also gives each test a fresh reader, so that no test sees
another's tags or settings."""

from __future__ import annotations

import unittest
from pathlib import Path
from typing import Any, List
from unittest import mock

import velkor

SOURCE_DIR = Path(__file__).resolve().parents[3]


class WitnessedCase(unittest.TestCase):
    def setUp(self) -> None:
        started: List[velkor.Emulator] = []
        start = velkor.Emulator.start

        def witnessed_start(*args: Any, **kwargs: Any) -> velkor.Emulator:
            emulator = start(*args, **kwargs)
            started.append(emulator)
            return emulator

        # Cleanups run last first: this check comes after every reader closed.
        self.addCleanup(self._check_witnesses, started)
        patcher = mock.patch.object(velkor.Emulator, "start", side_effect=witnessed_start)
        patcher.start()
        self.addCleanup(patcher.stop)

    def _check_witnesses(self, started: List[velkor.Emulator]) -> None:
        for emulator in started:
            self.assertEqual(emulator.violations(), [], "host protocol violations")


class EmulatedReaderCase(WitnessedCase):
    seed = 7

    def setUp(self) -> None:
        super().setUp()
        self.reader = velkor.Reader.emulated(seed=self.seed)
        self.addCleanup(self.reader.close)

    @property
    def emulator(self) -> velkor.Emulator:
        assert self.reader.emulator is not None
        return self.reader.emulator
