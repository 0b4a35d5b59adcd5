"""The Reader's identity, settings and I/O against the emulator, and its
lifetime."""

from __future__ import annotations

import gc
import os
import socket
import unittest
from datetime import datetime
from typing import Any, Callable, List, Tuple

from emulated_case import EmulatedReaderCase, WitnessedCase

import velkor
from velkor import Bank, Mask, Region, TagType, WorkMode


class Identity(EmulatedReaderCase):
    def test_info_and_versions(self) -> None:
        info = self.reader.info()
        self.assertTrue(info.gen2 and info.iso6b)
        self.assertEqual(info.address, self.reader.address)
        self.assertRegex(info.serial, r"^[0-9A-F]{8}$")
        self.assertRegex(self.reader.module_version(), r"^\d+\.\d+$")
        with velkor.Reader.emulated(seed=self.seed) as same, velkor.Reader.emulated(
            seed=self.seed + 1
        ) as other:
            self.assertEqual(same.info().serial, info.serial)
            self.assertNotEqual(other.info().serial, info.serial)

    def test_library_wide_calls(self) -> None:
        self.assertRegex(velkor.sdk_version(), r"^\d+\.\d+\.\d+$")
        channels = velkor.channels(4)
        self.assertEqual((len(channels), channels[0], channels[-1]),
                         (15, "865.1 MHz", "867.9 MHz"))
        self.assertEqual(velkor.channels(9), [])
        for reader in velkor.readers():  # none is attached where the tests run
            reader.close()

    def test_the_defaults_are_the_tools(self) -> None:
        # velkor --emulate: seed 1, six Gen2 and two 6B tags.
        with velkor.Reader.emulated() as reader:
            self.assertEqual(len(reader.inventory()), 6)
            self.assertEqual(len(reader.inventory_6b()), 2)


# (what, set it, read it back, expected)
Setting = Tuple[str, Callable[[velkor.Reader], None], Callable[[velkor.Reader], Any], Any]
SETTINGS: List[Setting] = [
    ("region range", lambda r: setattr(r, "region", Region(1, 3, 12)), lambda r: r.region,
     Region(1, 3, 12)),
    ("whole region", lambda r: r.set_region(4), lambda r: r.region, Region(4, 0, 14)),
    ("power", lambda r: setattr(r, "power", 21), lambda r: r.power, 21),
    ("clock", lambda r: setattr(r, "clock", datetime(2031, 7, 14, 9, 26, 53)),
     lambda r: r.clock, datetime(2031, 7, 14, 9, 26, 53)),
    ("beep", lambda r: setattr(r, "beep", False), lambda r: r.beep, False),
    ("gpio", lambda r: setattr(r, "gpio", 3), lambda r: r.gpio & 3, 3),
    ("rev delay", lambda r: setattr(r, "rev_delay", 9), lambda r: r.rev_delay, 9),
    ("save length", lambda r: setattr(r, "save_len", 12), lambda r: r.save_len, 12),
    ("keyboard beep", lambda r: setattr(r, "keyboard_beep", 0), lambda r: r.keyboard_beep, 0),
    ("keyboard parameters", lambda r: setattr(r, "keyboard_parameters", (2, 9, 15, 1, 0, 200)),
     lambda r: r.keyboard_parameters, (2, 9, 15, 1, 0, 200)),
    ("work mode by name", lambda r: r.configure(mode="trigger-inverted"),
     lambda r: r.config().mode, WorkMode.TRIGGER_INVERTED),
    ("every automatic-mode parameter",
     lambda r: r.configure(mode=WorkMode.AUTO, interval=3, response=(1, 1), tag_type="6b",
                           eas_sensitivity=4, mask=Mask(b"\xAB\xC0", Bank.TID, 16, 12),
                           trigger_time=5, tid=(2, 6), work_time=(7, 8), scan_time=20,
                           antenna=1, custom_function=2),
     lambda r: r.config(),
     velkor.Config(WorkMode.AUTO, 3, (1, 1), TagType.ISO6B, 4, Mask(b"\xAB\xC0", Bank.TID, 16, 12),
                   5, (2, 6), (7, 8), 2000, 1)),
]


class Settings(EmulatedReaderCase):
    def test_settings_round_trip(self) -> None:
        for what, write, read, expected in SETTINGS:
            with self.subTest(what):
                write(self.reader)
                self.assertEqual(read(self.reader), expected)

    def test_commands_without_a_read_back_are_answered(self) -> None:
        r = self.reader
        calls: List[Tuple[str, Callable[[], None]]] = [
            ("indicators", lambda: r.control_indicators(1, 2, 3)),
            ("relay", lambda: r.set_relay(1)),
            ("notification pulse", lambda: r.set_notification_pulse(1)),
            ("automatic-mode buffer", r.clear_auto_buffer),
            ("keyboard output", r.switch_to_keyboard),
        ]
        for what, run in calls:
            with self.subTest(what):
                run()

    def test_calibration_reads(self) -> None:
        r = self.reader
        shapes = {
            "dac": (r.dac(), int),
            "power parameter check": (r.check_power_parameter(), int),
            "start information": (len(r.start_information()), 9),
            "AD value": (r.ad_value(1), int),
            "adjustment parameters": (len(r.adjustment_parameters()), 148),
            "power check": ([len(v) for v in r.power_check()], [2, 2]),
            "QS": (len(r.qs()), 2),
        }
        for what, (got, want) in shapes.items():
            with self.subTest(what):
                if isinstance(want, type):
                    self.assertIsInstance(got, want)
                else:
                    self.assertEqual(got, want)
        # A value the emulator holds, read through its command.
        self.assertEqual(r.dac(), 128)


class Lifetime(WitnessedCase):
    def test_close_and_with_stop_the_emulator(self) -> None:
        with velkor.Reader.emulated() as reader:
            emulator = reader.emulator
        self.assertTrue(reader.closed)
        assert emulator is not None
        with self.assertRaises(RuntimeError):
            emulator.stop()  # already stopped
        reader.close()  # closing twice does nothing
        with self.assertRaises(velkor.LinkError) as raised:
            reader.info()
        self.assertEqual(raised.exception.status, velkor.STATUS_INVALID_HANDLE)
        self.assertIn("closed", repr(reader))

    def test_an_unclosed_reader_closes_its_handle_when_collected(self) -> None:
        ours, theirs = socket.socketpair(socket.AF_UNIX, socket.SOCK_SEQPACKET)
        self.addCleanup(theirs.close)
        descriptor = ours.detach()
        reader = velkor.Reader(descriptor)
        os.fstat(descriptor)  # open
        del reader
        gc.collect()
        with self.assertRaises(OSError):
            os.fstat(descriptor)


if __name__ == "__main__":
    unittest.main()
