"""Commissioning on the core: twenty tags, the run ended at a stage as a
crash would end it, then resumed on the same journal: every serial issued
once, on one tag, and the journal says so; a voided serial is never issued."""

from __future__ import annotations

import csv
import tempfile
from pathlib import Path
from typing import Any, Dict, List

from emulated_case import WitnessedCase

import velkor
from velkor import Stage

GTIN = "80614141123458"
FIRST = 1000
COUNT = 20


class Commission(WitnessedCase):
    def setUp(self) -> None:
        super().setUp()
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.journal = str(Path(scratch.name) / "station.csv")

    def run_plan(self, reader: velkor.Reader, **more: Any) -> velkor.Commissioned:
        return reader.commission(gtin=GTIN, prefix_length=7, serial_from=FIRST, count=COUNT,
                                 journal=self.journal, **more)

    def lines(self) -> List[Dict[str, str]]:
        with open(self.journal, newline="") as log:
            return list(csv.DictReader(log))

    def test_killed_at_each_stage_then_resumed_issues_each_serial_once(self) -> None:
        for stage in Stage:
            with self.subTest(stage.name):
                Path(self.journal).unlink(missing_ok=True)
                reader = velkor.Reader.emulated(gen2_tags=0, iso6b_tags=0, feed=COUNT)
                try:
                    with self.assertRaises(velkor.CoreError) as killed:
                        self.run_plan(reader, on_stage=lambda at, taken: at == stage
                                      and taken == 7)
                    self.assertEqual(killed.exception.kind, 8)  # stopped
                    summary = getattr(killed.exception, "summary")
                    self.assertEqual(summary.end, "stopped")
                    events: List[str] = []
                    done = self.run_plan(reader, on_event=lambda name, _: events.append(name))
                    self.assertEqual((done.end, done.done, done.total, done.interrupted),
                                     ("complete", COUNT, COUNT, 0))
                    self.assertIn("interrupted", events)  # the seventh tag's write
                    lines = self.lines()
                    ok = [line["serial"] for line in lines if line["result"] == "ok"]
                    self.assertEqual(sorted(ok), [str(s) for s in range(FIRST, FIRST + COUNT)])
                    # Every serial: one "writing", then its "ok"; the tags
                    # hold the twenty EPCs, each once.
                    for serial in ok:
                        results = [line["result"] for line in lines if line["serial"] == serial]
                        self.assertEqual(results, ["writing", "ok"], serial)
                    epcs = {line["epc"] for line in lines if line["result"] == "ok"}
                    assert reader.emulator is not None
                    self.assertEqual(sorted(reader.emulator.gen2_epcs()), sorted(epcs))
                finally:
                    reader.close()

    def test_a_voided_serial_is_never_issued(self) -> None:
        with velkor.Reader.emulated(gen2_tags=0, iso6b_tags=0, feed=COUNT - 1) as reader:
            done = self.run_plan(reader, voids=[FIRST + 3])
            self.assertEqual((done.end, done.done), ("complete", COUNT - 1))  # one void
            lines = self.lines()
            self.assertEqual([line["result"] for line in lines if line["serial"] == "1003"],
                             ["void"])
            voided = next(line["epc"] for line in lines if line["serial"] == "1003")
            assert reader.emulator is not None
            self.assertNotIn(voided, reader.emulator.gen2_epcs())
            self.assertEqual(self.run_plan(reader, voids=[FIRST + 3]).this_run, 0)
