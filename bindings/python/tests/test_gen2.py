"""Gen2 tags against the emulator: inventory, every way of naming a tag,
memory, EPC, lock and kill, privacy, EAS and the Monza QT parameter."""

from __future__ import annotations

import threading
from typing import Callable, Dict, List, Tuple

from emulated_case import EmulatedReaderCase

import velkor
from velkor import Bank, LockAction, LockField, Mask, Target


class Inventory(EmulatedReaderCase):
    def test_inventory_finds_the_population(self) -> None:
        tags = self.reader.inventory()
        self.assertEqual(sorted(t.epc for t in tags), sorted(self.emulator.gen2_epcs()))
        self.assertEqual(self.reader.single_tag(), tags[0])
        with velkor.Reader.emulated(seed=3, gen2_tags=60) as crowded:  # many frames
            self.assertEqual(sorted(t.epc for t in crowded.inventory()),
                             sorted(crowded.emulator.gen2_epcs()))  # type: ignore[union-attr]
        with velkor.Reader.emulated(gen2_tags=0) as empty:
            self.assertEqual((empty.inventory(), empty.single_tag()), ([], None))

    def test_a_mask_selects_the_tags_it_matches(self) -> None:
        tags = self.reader.inventory()
        wanted = tags[2].epc_bytes
        self.assertEqual(self.reader.inventory(Mask(wanted[:4])), [tags[2]])
        # The first 12 bits only, from bit 4 of the EPC on.
        self.assertIn(tags[2], self.reader.inventory(
            Mask(bytes([wanted[0] << 4 & 0xFF | wanted[1] >> 4, wanted[1] << 4 & 0xF0]),
                 bit_address=36, bits=12)))


class Targets(EmulatedReaderCase):
    def setUp(self) -> None:
        super().setUp()
        self.tags = self.reader.inventory()

    def targets(self) -> Dict[str, Target]:
        tag = self.tags[1]
        return {"Tag": tag, "hex EPC": tag.epc, "EPC bytes": tag.epc_bytes,
                "mask": Mask(tag.epc_bytes[:6])}

    def test_every_tag_command_takes_every_target(self) -> None:
        r, tag = self.reader, self.tags[1]
        for form, target in self.targets().items():
            with self.subTest(form):
                data = bytes([len(form), 0x5A, 0xC3, 0x3C])
                r.write(target, Bank.USER, 4, data)
                self.assertEqual(r.read(target, "user", 4, 2), data)
                calls: List[Tuple[Callable[[], object], str]] = [
                    (lambda: r.write(target, Bank.USER, 0x120, data[:2]), "write"),
                    (lambda: r.read(target, Bank.USER, 0x120, 1), "ExtReadData_G2"),
                ]
                for call, function in calls:
                    with self.assertRaises(velkor.TagError) as past_the_bank:
                        call()
                    self.assertEqual((past_the_bank.exception.function,
                                      past_the_bank.exception.tag_error), (function, 0x03))
                r.write(target, Bank.USER, 8, data, block=True)
                r.erase(target, Bank.USER, 4, 1)
                self.assertEqual(r.read(tag, Bank.USER, 4, 6), bytes(2) + data[2:] + bytes(4) + data)
                r.set_monza_qt(target, len(form))
                self.assertEqual(r.monza_qt(target), len(form))
                r.set_eas(target, True)
                self.assertTrue(r.eas_alarm())
                r.set_eas(target, False)
                self.assertFalse(r.eas_alarm())
        r.block_lock(self.targets()["mask"], 0)
        with self.assertRaises(velkor.TagError) as raised:
            r.write(tag, Bank.USER, 4, bytes(2))
        self.assertEqual(raised.exception.tag_error, 0x04)
        # None is the first tag that answers; the other tags were not touched.
        self.assertEqual(r.read(None, Bank.EPC, 2, 6), self.tags[0].epc_bytes)
        self.assertEqual(r.read(self.tags[2], Bank.USER, 4, 2), bytes(4))

    def test_a_target_no_tag_matches(self) -> None:
        absent: Dict[str, Target] = {"EPC": "0123456789AB", "mask": Mask(b"\x01\x23\x45")}
        for form, target in absent.items():
            with self.subTest(form), self.assertRaises(velkor.NoTagError) as raised:
                self.reader.read(target, Bank.TID, 0, 1)
            self.assertEqual(raised.exception.status, 0xFB)

    def test_lock_by_the_tools_names(self) -> None:
        r, locked = self.reader, self.tags[0]
        r.write(locked, Bank.RESERVED, 2, bytes.fromhex("C0DEC0DE"))  # access password
        r.lock(locked, "user", "lock", password=0xC0DEC0DE)
        with self.assertRaises(velkor.TagError) as raised:
            r.write(locked, Bank.USER, 0, b"\x12\x34")
        self.assertEqual((raised.exception.status, raised.exception.tag_error), (0xFC, 0x04))
        self.assertIn("memory locked", str(raised.exception))
        r.write(locked, Bank.USER, 0, b"\x12\x34", password=bytes.fromhex("C0DEC0DE"))
        r.lock(locked, LockField.USER, LockAction.UNLOCK, password=0xC0DEC0DE)
        r.write(locked, Bank.USER, 0, b"\x56\x78")
        self.assertEqual([m.name.lower() for m in LockAction],
                         ["unlock", "permaunlock", "lock", "permalock"])
        self.assertEqual([m.name.lower() for m in LockField],
                         ["kill", "access", "epc", "tid", "user"])

    def test_kill_write_epc_and_privacy_change_what_an_inventory_sees(self) -> None:
        r = self.reader
        victim, hidden = self.tags[3], self.tags[4]
        with self.assertRaises(velkor.TagError) as raised:
            r.kill(victim, 0)  # a zero kill password kills nothing
        self.assertEqual(raised.exception.tag_error, 0x00)
        r.write(victim, Bank.RESERVED, 0, (0x5EC7E7).to_bytes(4, "big"))
        r.kill(victim, 0x5EC7E7)
        self.assertFalse(r.check_privacy())
        r.set_privacy(hidden)
        self.assertTrue(r.check_privacy())
        seen = {t.epc for t in r.inventory()}
        self.assertEqual(seen, {t.epc for t in self.tags} - {victim.epc, hidden.epc})
        r.reset_privacy()
        self.assertIn(hidden.epc, {t.epc for t in r.inventory()})
        with velkor.Reader.emulated(gen2_tags=1) as lone:
            lone.write_epc("1234ABCD")
            self.assertEqual([t.epc for t in lone.inventory()], ["1234ABCD"])

    def test_hex_text_is_taken_wherever_bytes_are(self) -> None:
        r, tag = self.reader, self.tags[0]
        six_b = r.inventory_6b()[0]
        # (what, the call that takes hex text, what reads the effect back, expected)
        cases: List[Tuple[str, Callable[[], object], Callable[[], object], object]] = [
            ("tag data", lambda: r.write(tag, "user", 0, "C0 FF EE 01"),
             lambda: r.read(tag, "user", 0, 2), bytes.fromhex("C0FFEE01")),
            ("mask data", lambda: None, lambda: r.inventory(Mask(tag.epc[:8])), [tag]),
            ("6B data", lambda: r.write_6b(six_b, 20, "0708"),
             lambda: r.read_6b(six_b, 20, 2), b"\x07\x08"),
        ]
        for what, call, read_back, expected in cases:
            with self.subTest(what):
                call()
                self.assertEqual(read_back(), expected)

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
