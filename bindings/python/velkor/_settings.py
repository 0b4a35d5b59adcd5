"""The reader's identity and settings: information block, region, power,
clock, the work mode and its automatic-mode parameters, keyboard output,
indicators and I/O lines.

Setters raise ValueError for a value out of its range (before anything is
sent); every call raises a VelkorError subclass when it fails: LinkError,
ReplyError (a reply that cannot be decoded included), ParameterError or
ReaderStatusError when the reader refuses.
"""

from __future__ import annotations

import ctypes
from dataclasses import dataclass
from datetime import datetime
from enum import IntEnum
from typing import List, NamedTuple, Optional, Sequence, Tuple, Type, Union

from . import _api
from ._args import buffer, byte, in_range
from ._base import ReaderBase
from .tags import Bank, Mask, member

_CLOCK_EPOCH = 2000  # the clock block holds the year less this
INFORMATION_BYTES = 12
KEYBOARD_RANGES = ((1, 4), (0, 255), (0, 15), (0, 1), (0, 1), (0, 255))


class WorkMode(IntEnum):
    """The reader's work modes, by the tool's names."""

    ANSWER = 0  # answers commands only
    AUTO = 1  # inventories by itself
    TRIGGER = 2
    TRIGGER_INVERTED = 3


class TagType(IntEnum):
    """Which tags the automatic mode looks for ("gen2" or "6b")."""

    GEN2 = 0
    ISO6B = 1


class Region(NamedTuple):
    """A region code and the range of its channels in use."""

    code: int
    lowest: int
    highest: int


@dataclass(frozen=True)
class ReaderInfo:
    """The reader's information block and serial number."""

    address: int
    serial: str  # hex
    firmware: str  # "major.minor"
    reader_type: int
    gen2: bool  # supports EPC Gen2
    iso6b: bool  # supports ISO 18000-6B
    region: Region
    power: int  # dBm
    scan_time_ms: int
    antenna: int  # antennas in use, one bit each
    beep: bool
    comm_type: int


@dataclass(frozen=True)
class Config:
    """The work-mode parameters, as `velkor config` shows them.  mode and
    tag_type are plain numbers when the reader reports one without a name
    (they compare equal to WorkMode and TagType members)."""

    mode: int
    interval: int
    response: Tuple[int, int]
    tag_type: int
    eas_sensitivity: int
    mask: Optional[Mask]  # None when the reader applies none
    trigger_time: int
    tid: Tuple[int, int]
    work_time: Tuple[int, int]
    scan_time_ms: int
    antenna: int


def _decode_region(high: int, low: int) -> Region:
    # Region bits 3-2 and the highest channel in the first byte, bits 1-0 and
    # the lowest channel in the second.
    return Region((high >> 6) << 2 | low >> 6, low & 0x3F, high & 0x3F)


def _named(kind: Type[IntEnum], value: Union[IntEnum, int, str], what: str) -> int:
    """A member's name, or any byte: the reader judges the number."""
    return int(member(kind, value, what)) if isinstance(value, str) else byte(what, int(value))


def _known(kind: Type[IntEnum], value: int) -> int:
    try:
        return kind(value)
    except ValueError:
        return value


def _pair(name: str, values: Sequence[int]) -> Tuple[int, int]:
    if len(values) != 2:
        raise ValueError(f"{name} is two bytes, not {len(values)} values")
    return byte(name, values[0]), byte(name, values[1])


class SettingsCommands(ReaderBase):
    """Reader's identity, settings and I/O."""

    # -- identity ------------------------------------------------------------

    def _information_block(self) -> bytes:
        block = (ctypes.c_ubyte * INFORMATION_BYTES)()
        base = ctypes.addressof(block)
        # info01 takes bytes 0 and 1, then one pointer each for bytes 2 to 11.
        pointers = [ctypes.cast(base + i, _api.U8P) for i in [0] + list(range(2, 12))]
        self._run("GetReaderInformation", *pointers)
        return bytes(block)

    def info(self) -> ReaderInfo:
        """The information block and the serial number."""
        b = self._information_block()
        address = self.address
        serial = self._bytes_out("GetSeriaNo", 4)
        return ReaderInfo(
            address=address,
            serial=serial.hex().upper(),
            firmware=f"{b[0]}.{b[1]}",
            reader_type=b[2],
            gen2=bool(b[3] & 0x02),
            iso6b=bool(b[3] & 0x01),
            region=_decode_region(b[4], b[5]),
            power=b[6],
            scan_time_ms=b[7] * 100,
            antenna=b[8],
            beep=bool(b[9]),
            comm_type=b[10],
        )

    def module_version(self) -> str:
        """The reader module's version, "major.minor"."""
        version = self._bytes_out("GetModuleVersion", 2)
        return f"{version[0]}.{version[1]}"

    @property
    def region(self) -> Region:
        """The region and channel range in use; set a Region (code 1 to 5,
        channels 0 to 63), or see set_region().  Region 5 travels as region
        2 channels 26 to 44 and reads back so."""
        block = self._information_block()
        return _decode_region(block[4], block[5])

    @region.setter
    def region(self, value: Region) -> None:
        code, lowest, highest = value
        self.set_region(code, lowest, highest)

    def set_region(self, code: int, lowest: Optional[int] = None,
                   highest: Optional[int] = None) -> None:
        """Selects region code with every channel of it, or with the range
        lowest to highest (both given).  The library refuses a region
        without a channel plan with ParameterError."""
        if lowest is None and highest is None:
            self._run("SetRegionWithDefaultChannel", in_range("region", code, 0, 0xFF))
            return
        if lowest is None or highest is None:
            raise ValueError("a channel range needs both lowest and highest")
        self._run("SetRegionAndChannel", in_range("region", code, 1, 5),
                  in_range("lowest channel", lowest, 0, 63),
                  in_range("highest channel", highest, 0, 63))

    @property
    def power(self) -> int:
        """RF output power in dBm (the reader refuses values beyond its
        range with ParameterError)."""
        return self._information_block()[6]

    @power.setter
    def power(self, dbm: int) -> None:
        self._run("SetRfPower", byte("power", dbm))

    @property
    def clock(self) -> datetime:
        """The reader's real-time clock, to the second (years 2000 to
        2099); ReplyError when the reader's block is no date."""
        raw = self._bytes_out("GetTime", 6)
        year, month, day, hour, minute, second = raw
        return self._decode("GetTime", 0, lambda: datetime(
            _CLOCK_EPOCH + year, month, day, hour, minute, second))

    @clock.setter
    def clock(self, when: datetime) -> None:
        in_range("clock year", when.year, _CLOCK_EPOCH, _CLOCK_EPOCH + 99)
        fields = (when.year - _CLOCK_EPOCH, when.month, when.day, when.hour, when.minute,
                  when.second)
        self._run("SetReal_timeClock", buffer(bytes(fields)))

    # -- work mode and automatic-mode parameters -----------------------------

    def config(self) -> Config:
        """The work-mode parameters, the work time, scan time and antenna."""
        b = (ctypes.c_ubyte * 7)()
        mask_address = (ctypes.c_ubyte * 2)()
        mask_bits = ctypes.c_ubyte(0)
        mask = (ctypes.c_ubyte * 32)()
        trigger, tid0, tid1 = ctypes.c_ubyte(0), ctypes.c_ubyte(0), ctypes.c_ubyte(0)
        base = ctypes.addressof(b)
        singles = [ctypes.cast(base + i, _api.U8P) for i in range(7)]
        self._run("GetSystemParameter", *singles, mask_address, ctypes.byref(mask_bits), mask,
                  ctypes.byref(trigger), ctypes.byref(tid0), ctypes.byref(tid1))
        work = self._two_bytes("GetWorkTime")
        info = self._information_block()
        bits = mask_bits.value

        def decode() -> Config:
            selection = None
            if bits:
                selection = Mask(bytes(mask[: (bits + 7) // 8]), Bank(b[6]),
                                 mask_address[0] << 8 | mask_address[1], bits)
            return Config(
                mode=_known(WorkMode, b[0]), interval=b[1], response=(b[2], b[3]),
                tag_type=_known(TagType, b[4]), eas_sensitivity=b[5], mask=selection,
                trigger_time=trigger.value, tid=(tid0.value, tid1.value), work_time=work,
                scan_time_ms=info[7] * 100, antenna=info[8],
            )

        return self._decode("GetSystemParameter", 0, decode)

    def configure(
        self,
        mode: Union[WorkMode, int, str, None] = None,
        interval: Optional[int] = None,
        response: Optional[Sequence[int]] = None,
        tag_type: Union[TagType, int, str, None] = None,
        eas_sensitivity: Optional[int] = None,
        mask: Optional[Mask] = None,
        trigger_time: Optional[int] = None,
        tid: Optional[Sequence[int]] = None,
        work_time: Optional[Sequence[int]] = None,
        scan_time: Optional[int] = None,
        antenna: Optional[int] = None,
        custom_function: Optional[int] = None,
    ) -> None:
        """Sets the given work-mode parameters, in this order, as `velkor
        config set` does; stops at the first the reader refuses.  scan_time
        is in units of 100 ms.  Every value is checked before the first is
        sent."""
        steps: List[Tuple[str, Tuple[object, ...]]] = []
        if mode is not None:
            steps.append(("SetWorkMode", (_named(WorkMode, mode, "mode"),)))
        if interval is not None:
            steps.append(("SetInventoryInterval", (byte("interval", interval),)))
        if response is not None:
            steps.append(("SetResponsePamametersofAuto_runningMode", _pair("response", response)))
        if tag_type is not None:
            steps.append(("SelectTagType", (_named(TagType, tag_type, "tag type"),)))
        if eas_sensitivity is not None:
            steps.append(("SetEASSensitivity", (byte("EAS sensitivity", eas_sensitivity),)))
        if mask is not None:
            steps.append(("SetMask", (int(mask.bank), buffer(mask.bit_address.to_bytes(2, "big")),
                                      mask.bit_count, buffer(mask.data))))
        if trigger_time is not None:
            steps.append(("SetTriggerTime", (byte("trigger time", trigger_time),)))
        if tid is not None:
            steps.append(("SetTIDParameter", _pair("TID", tid)))
        if work_time is not None:
            steps.append(("SetWorkTime", _pair("work time", work_time)))
        if scan_time is not None:
            steps.append(("SetInventoryScanTime", (byte("scan time", scan_time),)))
        if antenna is not None:
            steps.append(("SetAntennaMultiplexing", (byte("antenna", antenna),)))
        if custom_function is not None:
            function = ctypes.c_ubyte(byte("custom function", custom_function))
            steps.append(("SetTagCustomFunction", (ctypes.byref(function),)))
        for name, args in steps:
            self._run(name, *args)

    def clear_auto_buffer(self) -> None:
        """Empties the tag buffer of the automatic mode."""
        self._run("ClearTagBuffer")

    def _two_bytes(self, name: str) -> Tuple[int, int]:
        first, second = ctypes.c_ubyte(0), ctypes.c_ubyte(0)
        self._run(name, ctypes.byref(first), ctypes.byref(second))
        return first.value, second.value

    # -- keyboard output -----------------------------------------------------

    def switch_to_keyboard(self) -> None:
        """Switches the reader to keyboard output (it then types what it
        reads and no longer answers these commands)."""
        self._run("ChangeToHID")

    @property
    def keyboard_beep(self) -> int:
        """The keyboard-output beep setting."""
        return self._byte_out("GetHidBeepEn")

    @keyboard_beep.setter
    def keyboard_beep(self, setting: int) -> None:
        self._run("SetHidBeepEn", byte("keyboard beep", setting))

    @property
    def keyboard_parameters(self) -> Tuple[int, int, int, int, int, int]:
        """The six keyboard work parameters.  Set six values: the first 1 to
        4, the third 0 to 15, the fourth and fifth 0 or 1, the others any
        byte."""
        out = (ctypes.c_ubyte * 6)()
        base = ctypes.addressof(out)
        self._run("GetHidWorkPara", *[ctypes.cast(base + i, _api.U8P) for i in range(6)])
        p = bytes(out)
        return p[0], p[1], p[2], p[3], p[4], p[5]

    @keyboard_parameters.setter
    def keyboard_parameters(self, values: Sequence[int]) -> None:
        if len(values) != len(KEYBOARD_RANGES):
            raise ValueError(f"the keyboard work parameters are 6 values, not {len(values)}")
        checked = [in_range(f"keyboard work parameter {i + 1}", v, lowest, highest)
                   for i, (v, (lowest, highest)) in enumerate(zip(values, KEYBOARD_RANGES))]
        self._run("SetHidWorkPara", *checked)

    # -- indicators and I/O lines --------------------------------------------

    def control_indicators(self, first: int, second: int, third: int) -> None:
        """Drives the buzzer and LEDs with three control bytes, as the
        reader takes them (`velkor beep --control`)."""
        self._run("BuzzerAndLEDControl", byte("first control byte", first),
                  byte("second control byte", second), byte("third control byte", third))

    @property
    def beep(self) -> bool:
        """Whether the reader beeps on each inventory."""
        return bool(self._information_block()[9])

    @beep.setter
    def beep(self, on: bool) -> None:
        self._run("SetBeepNotification", 1 if on else 0)

    @property
    def gpio(self) -> int:
        """The GPIO status byte; set the output setting byte."""
        return self._byte_out("GetGPIOStatus")

    @gpio.setter
    def gpio(self, setting: int) -> None:
        self._run("SetGPIO", byte("GPIO setting", setting))

    @property
    def rev_delay(self) -> int:
        return self._byte_out("GetRevDelay")

    @rev_delay.setter
    def rev_delay(self, delay: int) -> None:
        self._run("SetRevDelay", byte("rev delay", delay))

    def set_relay(self, setting: int) -> None:
        self._run("SetRelay", byte("relay setting", setting))

    def set_notification_pulse(self, setting: int) -> None:
        self._run("SetNotificationPulseOutput", byte("notification pulse setting", setting))
