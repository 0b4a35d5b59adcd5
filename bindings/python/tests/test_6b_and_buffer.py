"""6B tags and the reader's buffer against the emulator."""

from __future__ import annotations

from typing import List, Tuple, Union

from emulated_case import EmulatedReaderCase

import velkor
from velkor import Condition, Mask


class Iso6b(EmulatedReaderCase):
    def test_inventory_selects_by_condition(self) -> None:
        r = self.reader
        ids = r.inventory_6b()
        self.assertEqual(len(ids), 2)
        single = r.single_tag_6b()
        assert single is not None
        self.assertEqual(single[:16], ids[0])
        first = bytes.fromhex(ids[0])
        cases: List[Tuple[Union[Condition, int, str], List[str]]] = [
            ("eq", [ids[0]]), (Condition.NE, [ids[1]]), (2, [ids[1]]), ("LT", [])]
        for condition, expected in cases:
            with self.subTest(condition=condition):
                self.assertEqual(r.inventory_6b(condition, 0, 0xFF, first), expected)

    def test_memory_and_byte_locks(self) -> None:
        r = self.reader
        tag = r.inventory_6b()[1]
        self.assertEqual(r.write_6b(tag, 20, b"\x01\x02\x03"), 3)
        self.assertEqual(r.read_6b(bytes.fromhex(tag), 20, 3), b"\x01\x02\x03")
        self.assertFalse(r.is_locked_6b(tag, 21))
        r.lock_6b(tag, 21)
        self.assertTrue(r.is_locked_6b(tag, 21))
        with self.assertRaises(velkor.TagError) as raised:
            r.write_6b(tag, 21, b"\xFF")
        self.assertEqual(raised.exception.tag_error, 0x04)
        self.assertEqual(r.read_6b(tag, 20, 3), b"\x01\x02\x03")


class Buffer(EmulatedReaderCase):
    def test_buffered_inventory_read_count_clear(self) -> None:
        r = self.reader
        tags = r.inventory()
        self.assertEqual(r.buffered_inventory(Mask(tags[0].epc_bytes)), (1, 1))
        self.assertEqual(r.buffered_inventory(), velkor.BufferRound(held=6, seen=6))
        self.assertEqual(r.buffer_count(), 6)
        self.assertEqual(sorted(t.epc for t in r.read_buffer()), sorted(t.epc for t in tags))
        r.clear_buffer()
        self.assertEqual((r.buffer_count(), r.read_buffer()), (0, []))
