"""ISO 18000-6B tags, named by their 8-byte identifier (hex text or bytes).

Each method raises ValueError for an argument out of its range (before
anything is sent), and a VelkorError subclass when the call fails: TagError
with the tag's error code (0x03 past the memory, 0x04 a locked byte),
NoTagError, LinkError, ReplyError, or another VelkorError.
"""

from __future__ import annotations

import ctypes
from enum import IntEnum
from typing import List, Optional, Union

from ._args import BytesLike, buffer, byte, data_bytes, in_range
from ._base import ReaderBase
from .errors import NO_TAG, error_for
from .tags import member

ID_BYTES = 8
SINGLE_RECORD = 10  # the identifier and the two bytes after it
MOST_LIST_BYTES = 248  # tag data one inventory reply carries
MOST_READ_BYTES = 200
MOST_WRITE_BYTES = 48  # a write must fit one report

Id6B = BytesLike


class Condition(IntEnum):
    """How InventoryMultiple compares the tags' masked bytes with data."""

    EQ = 0
    NE = 1
    GT = 2
    LT = 3


def _id(tag: Id6B) -> "ctypes.Array[ctypes.c_ubyte]":
    raw = data_bytes("6B identifier", tag)
    if len(raw) != ID_BYTES:
        raise ValueError(f"a 6B identifier is {ID_BYTES} bytes, not {len(raw)}")
    return buffer(raw)


class Iso6bCommands(ReaderBase):
    """Reader's 6B family."""

    def inventory_6b(
        self, condition: Union[Condition, int, str] = Condition.EQ, start: int = 0,
        byte_mask: int = 0, data: BytesLike = bytes(ID_BYTES),
    ) -> List[str]:
        """The identifiers (upper-case hex) of the 6B tags whose bytes from
        start on compare as condition (eq, ne, gt, lt) with data, for the
        bytes byte_mask selects (bit 7 the first; 0 selects every tag).  An
        empty field is an empty list."""
        name = "InventoryMultiple_6B"
        data = data_bytes("data", data)
        if len(data) != ID_BYTES:
            raise ValueError(f"the compared data is {ID_BYTES} bytes, not {len(data)}")
        antenna = ctypes.c_ubyte(0)
        records = (ctypes.c_ubyte * MOST_LIST_BYTES)()
        count = ctypes.c_int(0)
        status = self.call(
            name, int(member(Condition, condition, "condition")), byte("start", start),
            byte("byte mask", byte_mask), buffer(data), ctypes.byref(antenna), records,
            ctypes.byref(count),
        )
        if status == NO_TAG:
            return []
        if status:
            raise error_for(status, name)
        # A count beyond what the reply can carry is the reader's slip.
        shown = min(max(count.value, 0), MOST_LIST_BYTES // ID_BYTES)
        raw = bytes(records)
        return [raw[i * ID_BYTES : (i + 1) * ID_BYTES].hex().upper() for i in range(shown)]

    def single_tag_6b(self) -> Optional[str]:
        """The first ten memory bytes (upper-case hex, the identifier first)
        of one 6B tag, or None for an empty field."""
        name = "InventorySingle_6B"
        antenna = ctypes.c_ubyte(0)
        record = (ctypes.c_ubyte * SINGLE_RECORD)()
        status = self.call(name, ctypes.byref(antenna), record)
        if status == NO_TAG:
            return None
        if status:
            raise error_for(status, name)
        return bytes(record).hex().upper()

    def read_6b(self, tag: Id6B, start: int, count: int) -> bytes:
        """count (1 to 200) bytes of the tag's memory from start on."""
        data = (ctypes.c_ubyte * in_range("byte count", count, 1, MOST_READ_BYTES))()
        self._run_tag("ReadData_6B", _id(tag), byte("start", start), count, data)
        return bytes(data)

    def write_6b(self, tag: Id6B, start: int, data: BytesLike) -> int:
        """Writes data (1 to 48 bytes, as bytes or hex text) from start on;
        returns the bytes written."""
        data = data_bytes("data", data)
        in_range("data length", len(data), 1, MOST_WRITE_BYTES)
        written = ctypes.c_ubyte(0)
        self._run_tag(
            "WriteData_6B", _id(tag), byte("start", start), buffer(data), len(data),
            ctypes.byref(written),
        )
        return written.value

    def lock_6b(self, tag: Id6B, address: int) -> None:
        """Locks the byte at address for good."""
        self._run_tag("Lock_6B", _id(tag), byte("byte address", address))

    def is_locked_6b(self, tag: Id6B, address: int) -> bool:
        """Whether the byte at address is locked."""
        state = ctypes.c_ubyte(0)
        self._run_tag("CheckLock_6B", _id(tag), byte("byte address", address),
                      ctypes.byref(state))
        return state.value != 0
