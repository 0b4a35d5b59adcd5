"""The reader's calibration and self-test values, read only: what they mean
is the reader's.  Each raises a VelkorError subclass when the call fails."""

from __future__ import annotations

import ctypes
from typing import Tuple

from ._args import byte
from ._base import ReaderBase

START_INFORMATION_BYTES = 9
ADJUSTMENT_BYTES = 148


class CalibrationReads(ReaderBase):
    """Reader's calibration reads."""

    def dac(self) -> int:
        """The DAC value."""
        return self._byte_out("GetDAC")

    def check_power_parameter(self) -> int:
        """Has the reader check its power parameters; its result byte."""
        return self._byte_out("CheckPowerParameter")

    def start_information(self) -> bytes:
        """The nine bytes of start information."""
        block = (ctypes.c_ubyte * START_INFORMATION_BYTES)()
        base = ctypes.addressof(block)
        self._run("GetStartInformation",
                  *[ctypes.cast(base + i, ctypes.POINTER(ctypes.c_ubyte))
                    for i in range(START_INFORMATION_BYTES)])
        return bytes(block)

    def ad_value(self, request: int) -> int:
        """The AD value the request byte selects (a little-endian 16-bit
        number)."""
        value = self._bytes_out("GetADValue", 2, byte("AD request", request))
        return int.from_bytes(value, "little")

    def adjustment_parameters(self) -> bytes:
        """The 148 bytes of adjustment parameters."""
        return self._bytes_out("GetAdjustPara", ADJUSTMENT_BYTES)

    def power_check(self) -> Tuple[bytes, bytes]:
        """The two 2-byte values of the power check."""
        first, second = (ctypes.c_ubyte * 2)(), (ctypes.c_ubyte * 2)()
        self._run("GetCheckPWR", first, second)
        return bytes(first), bytes(second)

    def qs(self) -> Tuple[int, int]:
        """The two QS values."""
        first, second = ctypes.c_ubyte(0), ctypes.c_ubyte(0)
        self._run("GetQS", ctypes.byref(first), ctypes.byref(second))
        return first.value, second.value
