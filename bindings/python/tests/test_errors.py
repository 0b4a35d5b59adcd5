"""Failures: each link fault and reader status as its VelkorError subclass,
hostile replies that never escape as another exception, and arguments
refused before they reach the library."""

from __future__ import annotations

import ctypes
import os
import socket
import unittest
from typing import Any, Callable, Dict, List, Tuple, Type
from unittest import mock

from emulated_case import EmulatedReaderCase

import velkor
import velkor.epc
from velkor import Bank, Fault, Mask, _api, _app, reader


class Faults(EmulatedReaderCase):
    # (fault, value, what the information read raises, its status)
    FAULTS: List[Tuple[Fault, int, Type[velkor.VelkorError], int]] = [
        (Fault.ECHO, 0x22, velkor.ReplyError, velkor.STATUS_COMMAND_MISMATCH),
        (Fault.STATUS, 0xFF, velkor.ParameterError, 0xFF),
        (Fault.STATUS, 0xFB, velkor.NoTagError, 0xFB),
        (Fault.STATUS, 0xFE, velkor.ReaderStatusError, 0xFE),
        (Fault.SILENCE, 0, velkor.LinkError, velkor.STATUS_COMM_ERROR),
    ]

    def test_each_failure_is_its_subclass_with_status_text_and_function(self) -> None:
        for fault, value, kind, status in self.FAULTS:
            with self.subTest(fault=fault.name, value=value):
                self.emulator.inject(fault, value)
                with self.assertRaises(kind) as raised:
                    self.reader.info()
                error = raised.exception
                # function names the core's operation that failed.
                self.assertEqual((error.status, error.function, error.tag_error),
                                 (status, "information", None))
                self.assertEqual(error.text, velkor.status_text(status))
                self.assertIn(f"0x{status:02X}", str(error))

    def test_an_unplugged_reader_fails_every_family(self) -> None:
        self.emulator.disconnect()
        r = self.reader
        calls: Dict[str, Callable[[], object]] = {
            "inventory": r.inventory, "ReadData_G2": lambda: r.read(None, Bank.TID, 0, 1),
            "InventoryMultiple_6B": r.inventory_6b, "ReadBuffer_G2": r.read_buffer,
            "parameters": r.config, "GetDAC": r.dac, "EASAlarm_G2": r.eas_alarm,
        }
        for function, call in calls.items():
            with self.subTest(function), self.assertRaises(velkor.LinkError) as raised:
                call()
            self.assertEqual(raised.exception.function, function)

    def test_the_words_come_from_the_library(self) -> None:
        self.assertEqual(velkor.describe(0xFB), "0xFB (no tag in the field)")
        self.assertEqual(velkor.describe(0xFC, 0x04), "0xFC (tag error: memory locked)")
        self.assertEqual(velkor.status_name(0x42), "STATUS_0x42")
        tag_error = velkor.TagError(0xFC, "Lock_G2", 0x04)
        self.assertEqual(tag_error.message, "tag error: memory locked (tag error 0x04)")
        # -1 is what the library leaves after success; other statuses write none.
        self.assertIsNone(velkor.VelkorError(0xFC, "Lock_G2", -1).tag_error)
        self.assertIsNone(velkor.VelkorError(0x30, "Lock_G2", 0x04).tag_error)


class HostileLibrary:
    """The real library, but with some functions replaced by ones that write
    what a hostile reader's reply would make the library write."""

    def __init__(self, **replaced: Callable[..., int]) -> None:
        self.replaced = replaced
        self.real = _api.library()

    def __getattr__(self, name: str) -> Any:
        return self.replaced.get(name) or getattr(self.real, name)


def _fill(pointer: Any, data: bytes) -> None:
    ctypes.memmove(pointer, data, len(data))


def buffer_list(records: bytes) -> Callable[..., int]:
    def read_buffer(_address: Any, total: Any, count: Any, out: Any, _handle: Any) -> int:
        _fill(out, records)
        total._obj.value = len(records)
        count._obj.value = 1
        return 0x01
    return read_buffer


def clock_block(block: bytes) -> Callable[..., int]:
    def get_time(_address: Any, out: Any, _handle: Any) -> int:
        _fill(out, block)
        return 0
    return get_time


def decoded_parameters(mask_bank: int) -> Callable[..., int]:
    """The core's parameters with a mask in mask_bank."""
    def read_config(_session: Any, config: Any, _error: Any) -> int:
        config._obj.mask.bank = mask_bank
        config._obj.mask.bits = 8
        config._obj.mask.length = 1
        return 0
    return read_config


class HostileCore(HostileLibrary):
    def __init__(self, **replaced: Callable[..., int]) -> None:
        self.replaced = replaced
        self.real = _app.core()


class HostileReplies(EmulatedReaderCase):
    CASES: List[Tuple[str, Dict[str, Callable[..., int]], Callable[[velkor.Reader], object]]] = [
        ("a tag record past the list", {"ReadBuffer_G2": buffer_list(bytes.fromhex("02ABCD04AB"))},
         lambda r: r.read_buffer()),
        ("a clock block that is no date", {"GetTime": clock_block(bytes([26, 13, 40, 0, 0, 0]))},
         lambda r: r.clock),
        ("a mask in an unknown bank", {"velkor_app_read_config": decoded_parameters(7)},
         lambda r: r.config()),
    ]

    def test_a_reply_that_cannot_be_decoded_is_a_reply_error(self) -> None:
        for what, functions, call in self.CASES:
            hostile = HostileLibrary(**functions)
            core = HostileCore(**functions)
            with self.subTest(what), mock.patch.object(_api, "library", lambda: hostile), \
                    mock.patch.object(_app, "core", lambda: core):
                with self.assertRaises(velkor.ReplyError) as raised:
                    call(self.reader)
                self.assertIn("malformed reply", raised.exception.message)


class RefusedArguments(EmulatedReaderCase):
    # (call, the argument the message names)
    CASES: List[Tuple[Callable[[velkor.Reader], object], str]] = [
        (lambda r: r.set_region(2**32 + 1), "region"),
        (lambda r: setattr(r, "region", (1, 0, 64)), "highest channel"),
        (lambda r: setattr(r, "power", 256), "power"),
        (lambda r: setattr(r, "address", -1), "address"),
        (lambda r: r.read(None, Bank.USER, 0x10000, 1), "word pointer"),
        (lambda r: r.read(None, Bank.USER, 0, 121), "word count"),
        (lambda r: r.read(None, 7, 0, 1), "bank"),
        (lambda r: r.read("ABC", Bank.USER, 0, 1), "tag EPC"),
        (lambda r: r.read(bytes(64), Bank.USER, 0, 1), "EPC"),
        (lambda r: r.read(None, Bank.USER, 0, 1, password=1 << 32), "password"),
        (lambda r: r.write(None, Bank.USER, 0, b"\x01"), "words"),
        (lambda r: r.erase(None, Bank.USER, 256, 1), "word pointer"),
        (lambda r: r.lock(None, "user", "seal"), "lock action"),
        (lambda r: r.lock(None, 5, 0), "lock field"),
        (lambda r: r.kill(None, b"\x00"), "kill password"),
        (lambda r: r.write_epc(bytes(52)), "EPC length"),
        (lambda r: r.inventory(Mask(bytes(32))), "bits"),
        (lambda r: r.inventory(Mask(b"\x01", bits=9)), "mask bits"),
        (lambda r: r.inventory(Mask(b"\x01", bit_address=1 << 16)), "mask bit address"),
        (lambda r: r.read_6b("00", 0, 1), "6B identifier"),
        (lambda r: r.write_6b(bytes(8), 0, bytes(49)), "data length"),
        (lambda r: r.configure(response=(1,)), "response"),
        (lambda r: r.configure(mode="sleep"), "mode"),
        (lambda r: setattr(r, "keyboard_parameters", (5, 0, 0, 0, 0, 0)),
         "keyboard work parameter 1"),
        (lambda r: r.ad_value(300), "AD request"),
        (lambda r: r.watch(interval=-1).__next__(), "interval"),
    ]

    def test_out_of_range_arguments_never_reach_the_library(self) -> None:
        sent: List[str] = []
        real = _api.library()

        class Recording:
            def __getattr__(self, name: str) -> Any:
                sent.append(name)
                return getattr(real, name)

        for call, argument in self.CASES:
            with self.subTest(argument), mock.patch.object(_api, "library", Recording):
                with self.assertRaisesRegex(ValueError, argument):
                    call(self.reader)
        self.assertEqual(sent, [])

    # (call, the exception, its whole message)
    SENTENCES: List[Tuple[Callable[[velkor.Reader], object], Type[Exception], str]] = [
        (lambda r: r.write(None, Bank.USER, 0, b"\x01\x02\x03"), ValueError,
         "tag memory is written in whole words of 2 bytes, and 3 bytes of data is an odd number"),
        (lambda r: r.write_epc("E28011"), ValueError,
         "an EPC is whole words of 2 bytes, and 3 bytes is an odd number"),
        (lambda r: r.write(None, Bank.USER, 0, "C0FG"), ValueError,
         "data 'C0FG' is not hex text: 'G' is no hex digit"),
        (lambda r: r.read("ABC", Bank.USER, 0, 1), ValueError,
         "tag EPC 'ABC' is not whole bytes: it has 3 hex digits, an odd number"),
        (lambda r: r.write(None, Bank.USER, 0, 1234), TypeError,  # type: ignore[arg-type]
         'data is bytes or hex text such as "C0FFEE", not int'),
        (lambda r: velkor.epc.decode("30X4"), velkor.epc.EpcError,
         "epc '30X4' is not hex text: 'X' is no hex digit"),
    ]

    def test_a_refusal_says_what_is_wrong_in_a_whole_sentence(self) -> None:
        for call, kind, message in self.SENTENCES:
            with self.subTest(message), self.assertRaises(kind) as raised:
                call(self.reader)
            self.assertEqual(str(raised.exception), message)

    def test_the_core_judges_what_it_knows_better(self) -> None:
        with self.assertRaises(ValueError) as raised:
            self.reader.set_region(9)  # no channel plan
        self.assertEqual(str(raised.exception), "region: a region is 1 to 5")


class NoReader(unittest.TestCase):
    # (readers attached, the index asked for, the message)
    CASES: List[Tuple[int, int, str]] = [
        (0, 0, "no reader found: check the USB cable, and that the udev rule is installed "
               "(see README.md), or use the emulator: velkor.Reader.emulated()"),
        (1, 2, "there is no reader 2: 1 reader is attached, counted from 0 "
               "(velkor.readers() lists them)"),
    ]

    def test_a_missing_reader_is_named_in_a_sentence(self) -> None:
        for attached, index, message in self.CASES:
            handles = [socket.socketpair(socket.AF_UNIX, socket.SOCK_SEQPACKET)[0].detach()
                       for _ in range(attached)]
            with self.subTest(attached=attached, index=index), \
                    mock.patch.object(reader, "open_all", return_value=handles), \
                    self.assertRaises(velkor.ReaderNotFoundError) as raised:
                velkor.Reader.open(index)
            self.assertEqual(str(raised.exception), message)
            # Still a LinkError, which a watch waits out.
            self.assertIsInstance(raised.exception, velkor.LinkError)
            for handle in handles:  # the opener closed the readers it did not keep
                with self.assertRaises(OSError):
                    os.fstat(handle)


if __name__ == "__main__":
    unittest.main()
