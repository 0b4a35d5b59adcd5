"""VelkorError: what it carries for link failures, refused arguments and
reader statuses, and how the tag records are split."""

from __future__ import annotations

import unittest

from emulated_case import EmulatedReaderCase

import velkor
from velkor import Bank, Fault
from velkor.tags import decode_tags


class LinkFailures(EmulatedReaderCase):
    def assert_fails(self, status: int, name: str, function: str) -> velkor.VelkorError:
        with self.assertRaises(velkor.VelkorError) as raised:
            self.reader.info()
        error = raised.exception
        self.assertEqual((error.status, error.name, error.function), (status, name, function))
        self.assertIsNone(error.tag_error)
        self.assertIn(f"0x{status:02X}", str(error))
        return error

    def test_an_unplugged_reader(self) -> None:
        self.reader.emulator.disconnect()  # type: ignore[union-attr]
        error = self.assert_fails(velkor.STATUS_COMM_ERROR, "STATUS_COMM_ERROR",
                                  "GetReaderInformation")
        self.assertIn("no complete reply", error.message)

    def test_a_reply_to_another_command(self) -> None:
        self.reader.emulator.inject(Fault.ECHO, 0x22)  # type: ignore[union-attr]
        self.assert_fails(velkor.STATUS_COMMAND_MISMATCH, "STATUS_COMMAND_MISMATCH",
                          "GetReaderInformation")

    def test_a_reader_status_is_named(self) -> None:
        self.reader.emulator.inject(Fault.STATUS, 0xFE)  # type: ignore[union-attr]
        error = self.assert_fails(0xFE, "UNKNOWN_COMMAND", "GetReaderInformation")
        self.assertIn("does not know", error.message)

    def test_a_failed_inventory(self) -> None:
        self.reader.emulator.inject(Fault.STATUS, 0xFD)  # type: ignore[union-attr]
        with self.assertRaises(velkor.VelkorError) as raised:
            self.reader.inventory()
        self.assertEqual((raised.exception.name, raised.exception.function),
                         ("LENGTH_ERROR", "Inventory_G2"))


class RefusedArguments(EmulatedReaderCase):
    def test_the_library_refuses_an_identifier_too_long_for_one_report(self) -> None:
        with self.assertRaises(velkor.VelkorError) as raised:
            self.reader.read(bytes(50), Bank.USER, 0, 1)  # 25 words
        error = raised.exception
        self.assertEqual(
            (error.status, error.name, error.function, error.tag_error),
            (velkor.STATUS_PARAMETER_ERROR, "STATUS_PARAMETER_ERROR", "ReadData_G2", None),
        )
        self.assertIn("out of range", error.message)

    def test_the_library_refuses_a_region_without_a_plan(self) -> None:
        with self.assertRaises(velkor.VelkorError) as raised:
            self.reader.region = 9
        self.assertEqual(raised.exception.function, "SetRegionWithDefaultChannel")
        self.assertEqual(raised.exception.status, velkor.STATUS_PARAMETER_ERROR)

    def test_the_reader_refuses_a_power_out_of_its_range(self) -> None:
        with self.assertRaises(velkor.VelkorError) as raised:
            self.reader.power = 40
        self.assertEqual((raised.exception.status, raised.exception.function),
                         (0xFF, "SetRfPower"))


class Names(unittest.TestCase):
    def test_statuses_and_tag_errors_in_words(self) -> None:
        self.assertEqual(velkor.status_name(0xFB), "NO_TAG")
        self.assertEqual(velkor.status_name(0x37), "STATUS_INVALID_HANDLE")
        self.assertEqual(velkor.status_name(0x42), "STATUS_0x42")
        self.assertEqual(velkor.status_text(0x42), "reader status 0x42")
        self.assertEqual(velkor.tag_error_text(0x0B), "insufficient power")
        self.assertEqual(velkor.tag_error_text(0x7E), "code 0x7E")

    def test_the_tag_error_code_belongs_to_tag_errors_only(self) -> None:
        tag_error = velkor.VelkorError(0xFC, "Lock_G2", 0x04)
        self.assertEqual((tag_error.tag_error, tag_error.message),
                         (0x04, "tag error: memory locked (tag error 0x04)"))
        # -1 is what the library leaves after success; other statuses write none.
        self.assertIsNone(velkor.VelkorError(0xFC, "Lock_G2", -1).tag_error)
        self.assertIsNone(velkor.VelkorError(0x30, "Lock_G2", 0x04).tag_error)


class TagRecords(unittest.TestCase):
    def test_records_are_length_then_epc(self) -> None:
        tags = decode_tags(bytes.fromhex("02ABCD" "03010203" "00"), antenna=2)
        self.assertEqual([(t.epc, t.antenna) for t in tags],
                         [("ABCD", 2), ("010203", 2), ("", 2)])
        self.assertEqual(tags[1].epc_bytes, b"\x01\x02\x03")

    def test_a_record_past_the_end_is_an_error(self) -> None:
        with self.assertRaises(ValueError):
            decode_tags(bytes.fromhex("02ABCD" "04AB"), antenna=1)


if __name__ == "__main__":
    unittest.main()
