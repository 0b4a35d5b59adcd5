"""Gen2 tags as the binding hands them out, how a command names its tag (by
EPC or by a selection mask), and the reader's tag records.

The names follow the velkor tool's: banks reserved/epc/tid/user, lock fields
kill/access/epc/tid/user, lock actions unlock/permaunlock/lock/permalock.
"""

from __future__ import annotations

from dataclasses import dataclass
from datetime import datetime
from enum import IntEnum
from typing import Optional, Type, TypeVar, Union

from ._args import BytesLike, data_bytes, in_range

# The longest identifier a request can name (31 words) and the longest mask.
MOST_EPC_BYTES = 62
MOST_MASK_BYTES = 32
EPC_BIT_ADDRESS = 32  # where the EPC starts in the EPC bank


class Bank(IntEnum):
    """Gen2 memory banks, by their number on the air."""

    RESERVED = 0  # kill password (words 0-1), access password (words 2-3)
    EPC = 1  # stored CRC, PC, then the EPC
    TID = 2
    USER = 3


class LockField(IntEnum):
    """What Reader.lock() locks: the first lock parameter byte."""

    KILL = 0  # the kill password
    ACCESS = 1  # the access password
    EPC = 2
    TID = 3
    USER = 4


class LockAction(IntEnum):
    """How Reader.lock() locks it: the second lock parameter byte."""

    UNLOCK = 0
    PERMAUNLOCK = 1
    LOCK = 2  # writable with the tag's (non-zero) access password only
    PERMALOCK = 3


E = TypeVar("E", bound=IntEnum)


def member(kind: Type[E], value: Union[E, int, str], what: str) -> E:
    """value as a member of kind: a member, its number, or its name in any
    case ("permalock", "user"); ValueError naming what otherwise."""
    if isinstance(value, str):
        try:
            key = value.upper().replace("-", "_")
            return kind["ISO" + key if key[:1].isdigit() else key]
        except KeyError:
            names = ", ".join(m.name.lower() for m in kind)
            raise ValueError(f"{what} is one of {names}, not {value!r}") from None
    try:
        return kind(value)
    except ValueError:
        raise ValueError(
            f"{what} runs from {min(kind)} to {max(kind)}, not {value!r}"
        ) from None


@dataclass(frozen=True)
class Tag:
    """A Gen2 tag an inventory found: its EPC in upper-case hex, and the
    antenna the reader reported for the round (0 for the tag an operation
    reports it changed, which no round names)."""

    epc: str
    antenna: int = 0

    @property
    def epc_bytes(self) -> bytes:
        return bytes.fromhex(self.epc)


@dataclass(frozen=True)
class Read:
    """One tag seen in one round of Reader.watch(): round counts from 1,
    time is when the round's reply arrived, in UTC (timezone-aware, as the
    velkor tool writes its times)."""

    round: int
    time: datetime
    epc: str
    antenna: int


@dataclass(frozen=True, init=False)
class Mask:
    """Names tags by bits of their memory instead of by EPC: the first bits
    of data (all of them by default) compared with bank from bit_address on
    (by default where the EPC starts)."""

    data: bytes
    bank: Bank
    bit_address: int
    bits: Optional[int]

    def __init__(
        self,
        data: BytesLike,
        bank: Union[Bank, int, str] = Bank.EPC,
        bit_address: int = EPC_BIT_ADDRESS,
        bits: Optional[int] = None,
    ) -> None:
        """data is bytes or hex text; bank a Bank, its number or its name.
        Raises ValueError for a mask that cannot be sent, TypeError for data
        that is neither bytes nor text."""
        raw = data_bytes("mask data", data)
        in_range("mask length in bytes", len(raw), 1, MOST_MASK_BYTES)
        object.__setattr__(self, "data", raw)
        object.__setattr__(self, "bank", member(Bank, bank, "mask bank"))
        object.__setattr__(self, "bit_address", in_range("mask bit address", bit_address,
                                                         0, 0xFFFF))
        object.__setattr__(self, "bits", bits)
        if bits is None:
            # The bit count travels in one byte: 32 whole bytes would read as
            # 0 bits, a mask that matches every tag.
            if 8 * len(raw) > 0xFF:
                raise ValueError(f"a mask of {len(raw)} bytes needs bits (1 to 255)")
            return
        in_range("mask bits", bits, 1, 0xFF)
        if (bits + 7) // 8 != len(raw):
            raise ValueError(
                f"{bits} mask bits take {(bits + 7) // 8} bytes, not {len(raw)}"
            )

    @property
    def bit_count(self) -> int:
        return 8 * len(self.data) if self.bits is None else self.bits


TagLike = Union[Tag, str, bytes, bytearray, memoryview]
# What a tag command acts on: a tag by its EPC, the tags a mask matches, or
# None: for a read the first tag that answers, for a change the only tag in
# the field.
Target = Union[Tag, str, bytes, bytearray, memoryview, Mask, None]


def epc_of(tag: TagLike, name: str = "tag") -> bytes:
    """The EPC that names a tag, from a Tag, its hex text or its bytes;
    ValueError naming the argument unless it is whole words of at most 62
    bytes, TypeError for anything else."""
    epc = tag.epc_bytes if isinstance(tag, Tag) else data_bytes(f"{name} EPC", tag)
    if len(epc) % 2 or not 2 <= len(epc) <= MOST_EPC_BYTES:
        raise ValueError(
            f"{name}: an EPC is 1 to {MOST_EPC_BYTES // 2} whole words, not {len(epc)} bytes"
        )
    return epc
