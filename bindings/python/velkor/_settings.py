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
from typing import Any, Callable, NamedTuple, Optional, Sequence, Tuple, Type, Union

from . import _api, _app
from ._args import buffer, byte, in_range
from ._base import ReaderBase, target_record
from .tags import Mask, member

_CLOCK_EPOCH = 2000  # the clock block holds the year less this
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


def _region(record: "_app.RegionRecord") -> Region:
    return Region(record.region, record.lowest, record.highest)


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

    def _info(self, with_serial: bool = False) -> "_app.InfoRecord":
        """The information block, as the core decodes it."""
        info = _app.InfoRecord()
        self.core_call("velkor_app_read_info", 1 if with_serial else 0, ctypes.byref(info))
        return info

    def info(self) -> ReaderInfo:
        """The information block and the serial number, as the core (and so
        the velkor tool) decodes them: a region set as 5 reads 5."""
        i = self._info(with_serial=True)
        return ReaderInfo(
            address=self.address,
            serial=bytes(i.serial).hex().upper(),
            firmware=f"{i.firmware_major}.{i.firmware_minor}",
            reader_type=i.type,
            gen2=bool(i.gen2),
            iso6b=bool(i.iso6b),
            region=_region(i.region),
            power=i.power_dbm,
            scan_time_ms=i.scan_time_ms,
            antenna=i.antenna,
            beep=bool(i.beep),
            comm_type=i.comm_type,
        )

    def info_json(self, index: int = 0, path: str = "emulator") -> str:
        """The information document, as `velkor info --json` prints it."""
        info = self._info(with_serial=True)
        return _document(lambda out, room: _app.core().velkor_app_info_json(
            ctypes.byref(info), index, path.encode(), self.address, out, room))

    def config_json(self) -> str:
        """The settings document, as `velkor config --json` prints it."""
        config = self._config_record()
        return _document(lambda out, room: _app.core().velkor_app_config_json(
            ctypes.byref(config), out, room))

    def module_version(self) -> str:
        """The reader module's version, "major.minor"."""
        version = self._bytes_out("GetModuleVersion", 2)
        return f"{version[0]}.{version[1]}"

    @property
    def region(self) -> Region:
        """The region and channel range in use; set a Region (code 1 to 5,
        channels 0 to 63), or see set_region().  Region 5 travels as region
        2 channels 26 to 44; it reads back as region 5, as the tool says."""
        return _region(self._info().region)

    @region.setter
    def region(self, value: Region) -> None:
        code, lowest, highest = value
        self.set_region(code, lowest, highest)

    def set_region(self, code: int, lowest: Optional[int] = None,
                   highest: Optional[int] = None) -> None:
        """Selects region code (1 to 5) with every channel of it, or with
        the range lowest to highest (both given, within the region's plan:
        ValueError otherwise, with nothing sent)."""
        if (lowest is None) != (highest is None):
            raise ValueError("a channel range needs both lowest and highest")
        in_range("region", code, 0, 0xFF)
        if lowest is not None and highest is not None:
            in_range("lowest channel", lowest, 0, 63)
            in_range("highest channel", highest, 0, 63)
        self.core_call("velkor_app_set_region", code, -1 if lowest is None else lowest,
                       -1 if highest is None else highest)

    @property
    def power(self) -> int:
        """RF output power in dBm (the reader refuses values beyond its
        range with ParameterError)."""
        return int(self._info().power_dbm)

    @power.setter
    def power(self, dbm: int) -> None:
        self.core_call("velkor_app_set_power", byte("power", dbm))

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

    def _config_record(self) -> "_app.ConfigRecord":
        config = _app.ConfigRecord()
        self.core_call("velkor_app_read_config", ctypes.byref(config))
        return config

    def config(self) -> Config:
        """The work-mode parameters, the work time, scan time and antenna, as
        the core decodes them."""
        c = self._config_record()
        selection = None
        if c.mask.length:
            selection = self._decode("parameters", 0, lambda: Mask(
                bytes(c.mask.bytes[: c.mask.length]), c.mask.bank, c.mask.bit_address,
                c.mask.bits))
        return Config(
            mode=_known(WorkMode, c.mode), interval=c.interval,
            response=(c.response[0], c.response[1]), tag_type=_known(TagType, c.tag_type),
            eas_sensitivity=c.eas_sensitivity, mask=selection, trigger_time=c.trigger_time,
            tid=(c.tid[0], c.tid[1]), work_time=(c.work_time[0], c.work_time[1]),
            scan_time_ms=c.scan_time_ms, antenna=c.antenna,
        )

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
        change = _app.ConfigChange()
        _app.core().velkor_app_config_change_init(ctypes.byref(change))
        if mode is not None:
            change.mode = _named(WorkMode, mode, "mode")
        if interval is not None:
            change.interval = byte("interval", interval)
        if response is not None:
            change.response[0], change.response[1] = _pair("response", response)
        if tag_type is not None:
            change.tag_type = _named(TagType, tag_type, "tag type")
        if eas_sensitivity is not None:
            change.eas_sensitivity = byte("EAS sensitivity", eas_sensitivity)
        if mask is not None:
            change.mask = target_record(mask).mask
        if trigger_time is not None:
            change.trigger_time = byte("trigger time", trigger_time)
        if tid is not None:
            change.tid[0], change.tid[1] = _pair("TID", tid)
        if work_time is not None:
            change.work_time[0], change.work_time[1] = _pair("work time", work_time)
        if scan_time is not None:
            change.scan_time = byte("scan time", scan_time)
        if antenna is not None:
            change.antenna = byte("antenna", antenna)
        if custom_function is not None:
            change.custom_function = byte("custom function", custom_function)
        self.core_call("velkor_app_set_config", ctypes.byref(change))

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
        return bool(self._info().beep)

    @beep.setter
    def beep(self, on: bool) -> None:
        self.core_call("velkor_app_set_beep", 1 if on else 0)

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


def _document(write: Callable[["ctypes.Array[ctypes.c_char]", int], Any]) -> str:
    """A JSON document the core writes into a caller buffer."""
    out = ctypes.create_string_buffer(_app.JSON_ROOM)
    length = int(write(out, len(out)))
    if length < 0 or length >= len(out):
        raise RuntimeError("the core's document did not fit")
    return out.value.decode("utf-8")
