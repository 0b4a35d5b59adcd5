"""The high-level Reader against the emulator: identity, settings, inventory
and the Gen2 tag operations."""

from __future__ import annotations

import threading
import unittest
from datetime import datetime
from typing import List

from emulated_case import EmulatedReaderCase

import velkor
from velkor import Bank, LockAction, LockField, Region


class Identity(EmulatedReaderCase):
    def test_info_decodes_the_information_block(self) -> None:
        self.reader.power = 17
        self.reader.region = (3, 2, 9)
        info = self.reader.info()
        self.assertEqual((info.power, info.region), (17, Region(3, 2, 9)))
        self.assertTrue(info.gen2)
        self.assertEqual(info.address, self.reader.address)
        self.assertRegex(info.serial, r"^[0-9A-F]{8}$")

    def test_the_serial_number_follows_the_seed(self) -> None:
        with velkor.Reader.emulated(seed=self.seed) as same, velkor.Reader.emulated(
            seed=self.seed + 1
        ) as other:
            serial = self.reader.info().serial
            self.assertEqual(same.info().serial, serial)
            self.assertNotEqual(other.info().serial, serial)

    def test_library_wide_calls(self) -> None:
        self.assertRegex(velkor.sdk_version(), r"^\d+\.\d+\.\d+$")
        channels = velkor.channels(4)
        self.assertEqual(len(channels), 15)
        self.assertEqual((channels[0], channels[-1]), ("865.1 MHz", "867.9 MHz"))
        self.assertEqual(velkor.channels(9), [])
        found = velkor.readers()  # no reader is attached where the tests run
        self.assertIsInstance(found, list)
        for reader in found:
            self.assertIsInstance(reader, velkor.Reader)
            reader.close()


class Settings(EmulatedReaderCase):
    def test_region_round_trips(self) -> None:
        self.reader.region = (1, 3, 12)
        self.assertEqual(self.reader.region, Region(1, 3, 12))
        self.reader.region = 4  # every channel of region 4
        self.assertEqual(self.reader.region, Region(4, 0, 14))

    def test_power_round_trips(self) -> None:
        for dbm in (0, 21, 33):
            self.reader.power = dbm
            self.assertEqual(self.reader.power, dbm)
        with self.assertRaises(ValueError):
            self.reader.power = 256

    def test_clock_round_trips(self) -> None:
        when = datetime(2031, 7, 14, 9, 26, 53)
        self.reader.clock = when
        self.assertEqual(self.reader.clock, when)
        with self.assertRaises(ValueError):
            self.reader.clock = datetime(1999, 12, 31)


class Inventory(EmulatedReaderCase):
    def test_inventory_finds_the_population(self) -> None:
        tags = self.reader.inventory()
        self.assertEqual(sorted(t.epc for t in tags), sorted(self.reader.emulator.gen2_epcs()))
        self.assertEqual(len(tags), self.gen2_tags)
        antenna = self.reader.info().antenna
        self.assertTrue(all(t.antenna == antenna for t in tags))
        self.assertIn(f"epc='{tags[0].epc}'", repr(tags))

    def test_a_large_population_over_many_frames(self) -> None:
        with velkor.Reader.emulated(seed=3, gen2_tags=60) as crowded:
            epcs = [t.epc for t in crowded.inventory()]
            self.assertEqual(sorted(epcs), sorted(crowded.emulator.gen2_epcs()))
            self.assertEqual(len(set(epcs)), 60)

    def test_an_empty_field_is_no_error(self) -> None:
        with velkor.Reader.emulated(gen2_tags=0) as empty:
            self.assertEqual(empty.inventory(), [])

    def test_watch_yields_rounds_as_the_field_changes(self) -> None:
        first = self.reader.inventory()[0]
        self.reader.write(first, Bank.RESERVED, 0, bytes.fromhex("0BADCAFE"))
        rounds = []
        for tags in self.reader.watch(rounds=3):
            rounds.append(sorted(t.epc for t in tags))
            if len(rounds) == 1:
                self.reader.kill(first, 0x0BADCAFE)
        self.assertEqual(len(rounds), 3)
        self.assertIn(first.epc, rounds[0])
        self.assertEqual(rounds[1], sorted(set(rounds[0]) - {first.epc}))
        self.assertEqual(rounds[2], rounds[1])


class TagAccess(EmulatedReaderCase):
    def setUp(self) -> None:
        super().setUp()
        self.tags = self.reader.inventory()

    def test_write_then_read(self) -> None:
        data = bytes.fromhex("C0FFEE0012345678")
        self.reader.write(self.tags[1], Bank.USER, 4, data)
        self.assertEqual(self.reader.read(self.tags[1], Bank.USER, 4, 4), data)
        # Named by its hex text alone; the other tags keep their memory.
        self.assertEqual(self.reader.read(self.tags[1].epc, Bank.USER, 5, 1), data[2:4])
        self.assertEqual(self.reader.read(self.tags[2], Bank.USER, 4, 4), bytes(8))

    def test_the_epc_bank_holds_the_epc(self) -> None:
        tag = self.tags[0]
        self.assertEqual(self.reader.read(tag, Bank.EPC, 2, len(tag.epc_bytes) // 2),
                         tag.epc_bytes)

    def test_a_word_pointer_beyond_one_byte_takes_the_extended_command(self) -> None:
        with self.assertRaises(velkor.VelkorError) as raised:
            self.reader.read(self.tags[0], Bank.USER, 0x100, 1)
        self.assertEqual(raised.exception.function, "ExtReadData_G2")
        self.assertEqual(raised.exception.tag_error, 0x03)  # beyond the bank
        with self.assertRaises(velkor.VelkorError) as raised:
            self.reader.write(self.tags[0], Bank.USER, 0x100, b"\x00\x01")
        self.assertEqual(raised.exception.function, "ExtWriteData_G2")

    def test_a_locked_bank_refuses_writes(self) -> None:
        locked, other = self.tags[0], self.tags[1]
        self.reader.lock(locked, LockField.USER, LockAction.SECURED)
        with self.assertRaises(velkor.VelkorError) as raised:
            self.reader.write(locked, Bank.USER, 0, b"\x12\x34")
        error = raised.exception
        self.assertEqual((error.status, error.name, error.tag_error), (0xFC, "TAG_ERROR", 0x04))
        self.assertIn("memory locked", error.message)
        self.assertIn("memory locked", str(error))
        # Still readable, and the other tag is untouched.
        self.assertEqual(self.reader.read(locked, Bank.USER, 0, 1), b"\x00\x00")
        self.reader.write(other, Bank.USER, 0, b"\x12\x34")

    def test_kill_makes_the_tag_disappear(self) -> None:
        victim = self.tags[3]
        with self.assertRaises(velkor.VelkorError) as raised:
            self.reader.kill(victim, 0)  # a zero kill password kills nothing
        self.assertEqual(raised.exception.tag_error, 0x00)
        self.reader.write(victim, Bank.RESERVED, 0, (0x5EC7E7).to_bytes(4, "big"))
        self.reader.kill(victim, 0x5EC7E7)
        remaining = [t.epc for t in self.reader.inventory()]
        self.assertNotIn(victim.epc, remaining)
        self.assertEqual(len(remaining), len(self.tags) - 1)

    def test_calls_from_several_threads_take_turns(self) -> None:
        failures: List[BaseException] = []

        def exercise(tag: velkor.Tag, word: int) -> None:
            try:
                for value in range(4):
                    data = bytes([word, value])
                    self.reader.write(tag, Bank.USER, word, data)
                    if self.reader.read(tag, Bank.USER, word, 1) != data:
                        raise AssertionError(f"{tag.epc} word {word} lost {data.hex()}")
            except BaseException as error:  # reported below, on the test's thread
                failures.append(error)

        threads = [threading.Thread(target=exercise, args=(self.tags[i], i)) for i in range(3)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        self.assertEqual(failures, [])

    def test_arguments_python_cannot_send(self) -> None:
        with self.assertRaises(ValueError):
            self.reader.write(self.tags[0], Bank.USER, 0, b"\x01")  # half a word
        with self.assertRaises(ValueError):
            self.reader.read("ABC", Bank.USER, 0, 1)  # not hex
        with self.assertRaises(ValueError):
            self.reader.read(self.tags[0], Bank.USER, 0, 1, password=1 << 32)


class Lifetime(unittest.TestCase):
    def test_the_context_manager_closes_and_stops_the_emulator(self) -> None:
        with velkor.Reader.emulated() as reader:
            emulator = reader.emulator
            self.assertIsNotNone(emulator)
        self.assertTrue(reader.closed)
        with self.assertRaises(RuntimeError):
            emulator.stop()  # type: ignore[union-attr]
        reader.close()  # closing twice does nothing
        with self.assertRaises(velkor.VelkorError) as raised:
            reader.info()
        self.assertEqual(raised.exception.name, "STATUS_INVALID_HANDLE")
        self.assertIn("closed", repr(reader))


if __name__ == "__main__":
    unittest.main()
