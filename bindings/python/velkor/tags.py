"""Gen2 tags as the binding hands them out, and the reader's tag records."""

from __future__ import annotations

from dataclasses import dataclass
from enum import IntEnum
from typing import List, Union


class Bank(IntEnum):
    """Gen2 memory banks, by their number on the air."""

    RESERVED = 0  # kill password (words 0-1), access password (words 2-3)
    EPC = 1  # stored CRC, PC, then the EPC
    TID = 2
    USER = 3


class LockField(IntEnum):
    """What Reader.lock() locks: the first lock parameter byte."""

    KILL_PASSWORD = 0
    ACCESS_PASSWORD = 1
    EPC = 2
    TID = 3
    USER = 4


class LockAction(IntEnum):
    """How Reader.lock() locks it: the second lock parameter byte."""

    WRITABLE = 0
    PERMANENTLY_WRITABLE = 1
    SECURED = 2  # writable with the tag's (non-zero) access password only
    PERMANENTLY_LOCKED = 3


@dataclass(frozen=True)
class Tag:
    """A Gen2 tag an inventory found: its EPC in upper-case hex, and the
    antenna the reader reported for the round."""

    epc: str
    antenna: int

    @property
    def epc_bytes(self) -> bytes:
        return bytes.fromhex(self.epc)


TagLike = Union[Tag, str, bytes]


def epc_of(tag: TagLike) -> bytes:
    """The EPC that names a tag, from a Tag, its hex text or its bytes."""
    if isinstance(tag, Tag):
        return tag.epc_bytes
    if isinstance(tag, str):
        return bytes.fromhex(tag)
    return bytes(tag)


def decode_tags(records: bytes, antenna: int) -> List[Tag]:
    """Splits a tag-identifier list: per tag one byte of EPC length, then
    the EPC."""
    tags: List[Tag] = []
    i = 0
    while i < len(records):
        length = records[i]
        epc = records[i + 1 : i + 1 + length]
        if len(epc) != length:
            raise ValueError(f"tag record at byte {i} runs past the list's {len(records)} bytes")
        tags.append(Tag(epc.hex().upper(), antenna))
        i += 1 + length
    return tags
