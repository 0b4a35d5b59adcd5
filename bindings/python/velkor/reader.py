"""One reader behind a device handle: its identity and settings, and the Gen2
tag operations, each raising VelkorError when the call does not succeed."""

from __future__ import annotations

import ctypes
import threading
import time
from dataclasses import dataclass
from datetime import datetime
from typing import Iterator, List, NamedTuple, Optional, Sequence, Tuple, Union

from . import _api
from ._emulator import DEFAULT_GEN2_TAGS, DEFAULT_ISO6B_TAGS, DEFAULT_SEED, Emulator
from .errors import (
    INVENTORY_COMPLETE,
    INVENTORY_STOPPED,
    NO_TAG,
    STATUS_INVALID_HANDLE,
    VelkorError,
    check,
)
from .tags import Bank, LockAction, LockField, Tag, TagLike, decode_tags, epc_of

BROADCAST_ADDRESS = 0xFF  # every reader answers it besides its own address
# Request data bytes 0 and 1 of the inventory; their meaning is the reader's.
# The pair velkor.h names VELKOR_INVENTORY_PARAM0 and VELKOR_INVENTORY_PARAM1.
DEFAULT_INVENTORY_PARAMS = (0x04, 0x00)
_CLOCK_EPOCH = 2000  # the clock block holds the year less this


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


def _byte(name: str, value: int) -> int:
    # ctypes would send the low 8 bits of anything; a caller's slip should not.
    if not 0 <= value <= 0xFF:
        raise ValueError(f"{name} is a byte (0 to 255), not {value}")
    return value


def _bytes(data: bytes) -> "ctypes.Array[ctypes.c_ubyte]":
    return (ctypes.c_ubyte * max(len(data), 1)).from_buffer_copy(data or b"\0")


def _password(value: int) -> "ctypes.Array[ctypes.c_ubyte]":
    # The first byte is the most significant, as the reserved bank holds it.
    if not 0 <= value < 1 << 32:
        raise ValueError(f"a password is a 32-bit unsigned number, not {value}")
    return _bytes(value.to_bytes(4, "big"))


class Reader:
    """A reader; use it as a context manager so that its handle is closed
    (and an emulated reader stopped) when done.  Calls from several threads
    are serialised, as the library requires for one handle."""

    def __init__(
        self,
        handle: int,
        address: int = BROADCAST_ADDRESS,
        emulator: Optional[Emulator] = None,
    ) -> None:
        self._handle = handle
        self._address = ctypes.c_ubyte(_byte("address", address))
        self.emulator = emulator
        self._closed = False
        self._lock = threading.Lock()

    @classmethod
    def emulated(
        cls,
        seed: int = DEFAULT_SEED,
        gen2_tags: int = DEFAULT_GEN2_TAGS,
        iso6b_tags: int = DEFAULT_ISO6B_TAGS,
    ) -> "Reader":
        """A reader served by the emulator, its tags made from seed."""
        emulator = Emulator.start(seed, gen2_tags, iso6b_tags)
        return cls(emulator.handle, emulator=emulator)

    # -- handle ------------------------------------------------------------

    @property
    def handle(self) -> int:
        return self._handle

    @property
    def address(self) -> int:
        """The reader address the commands are sent to; some commands store
        the address the reader answered from."""
        return self._address.value

    @address.setter
    def address(self, value: int) -> None:
        self._address.value = _byte("address", value)

    @property
    def closed(self) -> bool:
        return self._closed

    def close(self) -> None:
        """Closes the handle, or stops the emulator that owns it.  Closing
        twice does nothing."""
        with self._lock:
            if self._closed:
                return
            self._closed = True
            if self.emulator is not None:
                self.emulator.stop()
            else:
                check(_api.library().CloseUSBPort(self._handle), "CloseUSBPort")

    def __enter__(self) -> "Reader":
        return self

    def __exit__(self, *exc_info: object) -> None:
        self.close()

    def __repr__(self) -> str:
        kind = "emulated " if self.emulator is not None else ""
        state = "closed" if self._closed else f"handle {self._handle}"
        return f"<velkor.Reader {kind}{state}, address 0x{self.address:02X}>"

    def call(self, name: str, *args: object) -> int:
        """Runs C function name with the reader address first and the handle
        last; returns its status unchecked."""
        function = getattr(_api.library(), name)
        with self._lock:
            if self._closed:  # the descriptor may already belong to someone else
                raise VelkorError(STATUS_INVALID_HANDLE, name)
            status: int = function(ctypes.byref(self._address), *args, self._handle)
        return status

    def _run(self, name: str, *args: object) -> None:
        check(self.call(name, *args), name)

    def _run_tag(self, name: str, *args: object) -> None:
        # Gen2 tag commands: the tag error code pointer stands before the handle.
        error = ctypes.c_int(-1)
        check(self.call(name, *args, ctypes.byref(error)), name, error.value)

    # -- identity and settings ---------------------------------------------

    def _information_block(self) -> bytes:
        block = (ctypes.c_ubyte * 12)()
        base = ctypes.addressof(block)
        # info01 takes bytes 0 and 1, then one pointer each for bytes 2 to 11.
        pointers = [ctypes.cast(base + i, _api.U8P) for i in [0] + list(range(2, 12))]
        self._run("GetReaderInformation", *pointers)
        return bytes(block)

    def info(self) -> ReaderInfo:
        """The information block and the serial number."""
        b = self._information_block()
        address = self.address
        serial = (ctypes.c_ubyte * 4)()
        self._run("GetSeriaNo", serial)
        return ReaderInfo(
            address=address,
            serial=bytes(serial).hex().upper(),
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

    @property
    def region(self) -> Region:
        """The region and channel range in use.  Set an int for every channel
        of a region, or (code, lowest, highest).  Region 5 travels as region 2
        channels 26 to 44 and reads back so."""
        block = self._information_block()
        return _decode_region(block[4], block[5])

    @region.setter
    def region(self, value: Union[int, Tuple[int, int, int]]) -> None:
        if isinstance(value, int):
            self._run("SetRegionWithDefaultChannel", value)
        else:
            code, lowest, highest = value
            self._run(
                "SetRegionAndChannel", code, _byte("lowest", lowest), _byte("highest", highest)
            )

    @property
    def power(self) -> int:
        """RF output power in dBm."""
        return self._information_block()[6]

    @power.setter
    def power(self, dbm: int) -> None:
        self._run("SetRfPower", _byte("power", dbm))

    @property
    def clock(self) -> datetime:
        """The reader's real-time clock, to the second."""
        block = (ctypes.c_ubyte * 6)()
        self._run("GetTime", block)
        year, month, day, hour, minute, second = bytes(block)
        return datetime(_CLOCK_EPOCH + year, month, day, hour, minute, second)

    @clock.setter
    def clock(self, when: datetime) -> None:
        if not _CLOCK_EPOCH <= when.year < _CLOCK_EPOCH + 100:
            raise ValueError(f"the reader's clock holds the years 2000 to 2099, not {when.year}")
        fields = (when.year - _CLOCK_EPOCH, when.month, when.day, when.hour, when.minute,
                  when.second)
        self._run("SetReal_timeClock", _bytes(bytes(fields)))

    # -- Gen2 tags -----------------------------------------------------------

    def inventory(self, params: Sequence[int] = DEFAULT_INVENTORY_PARAMS) -> List[Tag]:
        """The Gen2 tags in the field (none is not an error)."""
        records = (ctypes.c_ubyte * _api.MAX_INVENTORY)()
        antenna = ctypes.c_ubyte(0)
        total = ctypes.c_int(0)
        count = ctypes.c_int(0)
        first, second = (_byte("inventory parameter", p) for p in params)
        # No mask, TID or trailing group: their flags are 0 and their
        # arguments unread.
        status = self.call(
            "Inventory_G2", first, second, 0, None, 0, None, 0, 0, 0, 0, 0, 0, 0, 0,
            records, ctypes.byref(antenna), ctypes.byref(total), ctypes.byref(count),
        )
        if status == NO_TAG:
            return []
        if status not in (INVENTORY_COMPLETE, INVENTORY_STOPPED):
            raise VelkorError(status, "Inventory_G2")
        return decode_tags(bytes(records[: total.value]), antenna.value)

    def watch(self, interval: float = 0.0, rounds: Optional[int] = None) -> Iterator[List[Tag]]:
        """Inventory rounds one after another (interval seconds apart), each
        as the list of tags found; endless unless rounds is given."""
        done = 0
        while rounds is None or done < rounds:
            if done and interval > 0:
                time.sleep(interval)
            yield self.inventory()
            done += 1

    def read(
        self, tag: TagLike, bank: Bank, word_ptr: int, word_count: int, password: int = 0
    ) -> bytes:
        """word_count words of bank from word_ptr on, two bytes each."""
        epc, words = _identifier(tag)
        data = (ctypes.c_ubyte * max(2 * _byte("word count", word_count), 1))()
        name, pointer = _word_pointer("ReadData_G2", "ExtReadData_G2", word_ptr)
        self._run_tag(
            name, epc, words, _byte("bank", bank), pointer, word_count, _password(password),
            0, None, 0, None, data,
        )
        return bytes(data[: 2 * word_count])

    def write(
        self, tag: TagLike, bank: Bank, word_ptr: int, data: bytes, password: int = 0
    ) -> None:
        """Writes data (whole words) to bank from word_ptr on."""
        if len(data) % 2:
            raise ValueError(f"tag memory is written in words: {len(data)} bytes is not")
        epc, words = _identifier(tag)
        name, pointer = _word_pointer("WriteData_G2", "ExtWriteData_G2", word_ptr)
        self._run_tag(
            name, epc, _byte("word count", len(data) // 2), words, _byte("bank", bank), pointer,
            _bytes(data), _password(password), 0, None, 0, None,
        )

    def lock(self, tag: TagLike, field: LockField, action: LockAction, password: int = 0) -> None:
        """Locks (or unlocks) one field of the tag with its access password."""
        epc, words = _identifier(tag)
        self._run_tag(
            "Lock_G2", epc, words, _byte("lock field", field), _byte("lock action", action),
            _password(password), 0, None, 0, None,
        )

    def kill(self, tag: TagLike, kill_password: int) -> None:
        """Kills the tag for good; it needs its non-zero kill password."""
        epc, words = _identifier(tag)
        self._run_tag("KillTag_G2", epc, words, _password(kill_password), 0, None, 0, None)


def _decode_region(high: int, low: int) -> Region:
    # Region bits 3-2 and the highest channel in the first byte, bits 1-0 and
    # the lowest channel in the second.
    return Region((high >> 6) << 2 | low >> 6, low & 0x3F, high & 0x3F)


def _identifier(tag: TagLike) -> "Tuple[ctypes.Array[ctypes.c_ubyte], int]":
    """The EPC buffer and its word count, which names the tag."""
    epc = epc_of(tag)
    if len(epc) % 2:
        raise ValueError(f"an EPC is whole words: {epc.hex().upper()} is not")
    # 0xFF words would be taken for the mask form; the library judges the rest.
    if len(epc) // 2 >= 0xFF:
        raise ValueError(f"an EPC of {len(epc) // 2} words cannot name a tag")
    return _bytes(epc), len(epc) // 2


def _word_pointer(short: str, extended: str, word_ptr: int) -> Tuple[str, object]:
    """The function and word pointer argument: one byte where it fits, else
    the extended command with two bytes, high byte first."""
    if 0 <= word_ptr <= 0xFF:
        return short, word_ptr
    if not 0 <= word_ptr <= 0xFFFF:
        raise ValueError(f"a word pointer runs from 0 to 65535, not {word_ptr}")
    return extended, _bytes(word_ptr.to_bytes(2, "big"))
