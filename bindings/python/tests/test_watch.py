"""watch(): timestamped reads round after round, across an unplugged
reader."""

from __future__ import annotations

from datetime import datetime, timezone
from typing import List

from emulated_case import WitnessedCase

import velkor
from velkor import Bank, Read


class Watch(WitnessedCase):
    def setUp(self) -> None:
        super().setUp()
        self.reader = velkor.Reader.emulated(seed=5, gen2_tags=3)
        self.addCleanup(self.reader.close)

    def test_reads_are_timestamped_per_round_as_the_field_changes(self) -> None:
        first = self.reader.inventory()[0]
        self.reader.write(first, Bank.RESERVED, 0, bytes.fromhex("0BADCAFE"))
        now = datetime.now(timezone.utc)  # the core's times are to the millisecond
        before = now.replace(microsecond=now.microsecond // 1000 * 1000)
        reads: List[Read] = []
        for read in self.reader.watch(rounds=3):
            reads.append(read)
            if read.round == 1 and len(reads) == 3:
                self.reader.kill(first, 0x0BADCAFE)
        self.assertEqual([r.round for r in reads], [1, 1, 1, 2, 2, 3, 3])
        self.assertNotIn(first.epc, [r.epc for r in reads[3:]])
        times = [r.time for r in reads]
        self.assertEqual(times, sorted(times))
        self.assertEqual(times[0].tzinfo, timezone.utc)  # as the tool writes times
        self.assertGreaterEqual(times[0], before)
        self.assertEqual(len({r.time for r in reads if r.round == 2}), 1)

    def test_an_unplugged_reader_is_found_again(self) -> None:
        rounds: List[int] = []
        with self.assertLogs("velkor", "WARNING") as logged:
            for read in self.reader.watch(rounds=3, retry_every=0.01):
                rounds.append(read.round)
                if read.round == 1 and self.reader.emulator is not None and len(rounds) == 1:
                    self.reader.emulator.disconnect()
        self.assertEqual(rounds, [1, 1, 1, 2, 2, 2, 3, 3, 3])
        self.assertIn("reader lost after round 1: 0x30", logged.output[0])
        self.assertIn("reader back", logged.output[-1])

    def test_raising_instead(self) -> None:
        assert self.reader.emulator is not None
        self.reader.emulator.disconnect()
        with self.assertRaises(velkor.LinkError) as raised:
            next(self.reader.watch(reconnect=False))
        self.assertEqual(raised.exception.function, "inventory")

    def test_a_reader_from_a_bare_handle_cannot_be_reopened(self) -> None:
        bare = velkor.Reader(-1)
        with self.assertRaises(velkor.LinkError):
            next(bare.watch(retry_every=0))
