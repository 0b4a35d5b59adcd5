"""Status codes in words, and the exception that carries a failed status.

Library codes and reader statuses share one value space (0xFF is both the
library's parameter error and the reader's), so one table names them all.
"""

from __future__ import annotations

from typing import Optional

STATUS_OK = 0x00
STATUS_COMM_ERROR = 0x30
STATUS_CRC_ERROR = 0x31
STATUS_INVALID_HANDLE = 0x37
STATUS_COMMAND_MISMATCH = 0xEE
STATUS_PARAMETER_ERROR = 0xFF

# Reader statuses the binding itself looks at.
INVENTORY_COMPLETE = 0x01
INVENTORY_STOPPED = 0x02
NO_TAG = 0xFB
TAG_ERROR = 0xFC

# code: (name, meaning)
_STATUSES = {
    STATUS_OK: ("STATUS_OK", "success"),
    0x01: ("INVENTORY_COMPLETE", "inventory complete"),
    0x02: ("INVENTORY_STOPPED", "inventory stopped at its scan time"),
    0x03: ("MORE_FRAMES", "more frames follow"),
    0x04: ("TAG_MEMORY_FULL", "the reader's tag memory is full"),
    STATUS_COMM_ERROR: (
        "STATUS_COMM_ERROR",
        "no complete reply in time (is the reader connected?)",
    ),
    STATUS_CRC_ERROR: ("STATUS_CRC_ERROR", "the reply failed its CRC check"),
    STATUS_INVALID_HANDLE: ("STATUS_INVALID_HANDLE", "invalid device handle"),
    STATUS_COMMAND_MISMATCH: ("STATUS_COMMAND_MISMATCH", "the reply answered another command"),
    0xFA: ("TAG_UNREADABLE", "tags answered but could not be read"),
    NO_TAG: ("NO_TAG", "no tag in the field"),
    TAG_ERROR: ("TAG_ERROR", "tag error"),
    0xFD: ("LENGTH_ERROR", "the reader rejected the command's length"),
    0xFE: ("UNKNOWN_COMMAND", "the reader does not know this command"),
    STATUS_PARAMETER_ERROR: ("STATUS_PARAMETER_ERROR", "parameter out of range"),
}

# Gen2 tag error codes that come with TAG_ERROR.
_TAG_ERRORS = {
    0x00: "other error",
    0x03: "memory overrun",
    0x04: "memory locked",
    0x0B: "insufficient power",
    0x0F: "non-specific error",
}
TAG_ERROR_OTHER = 0x00
TAG_ERROR_MEMORY_OVERRUN = 0x03
TAG_ERROR_MEMORY_LOCKED = 0x04
TAG_ERROR_INSUFFICIENT_POWER = 0x0B
TAG_ERROR_NON_SPECIFIC = 0x0F


def status_name(status: int) -> str:
    """"STATUS_COMM_ERROR", "NO_TAG", ...; "STATUS_0x42" for a code without a name."""
    entry = _STATUSES.get(status)
    return entry[0] if entry else f"STATUS_0x{status & 0xFF:02X}"


def status_text(status: int) -> str:
    entry = _STATUSES.get(status)
    return entry[1] if entry else f"reader status 0x{status & 0xFF:02X}"


def tag_error_text(code: int) -> str:
    return _TAG_ERRORS.get(code, f"code 0x{code & 0xFF:02X}")


class VelkorError(Exception):
    """A library call that did not succeed.

    status is the code the call returned, name its symbolic name, message its
    meaning in words; tag_error is the Gen2 tag error code after TAG_ERROR,
    else None; function is the C function that returned it.
    """

    def __init__(self, status: int, function: str, tag_error: Optional[int] = None) -> None:
        self.status = status
        self.name = status_name(status)
        self.function = function
        # The library writes the tag error code only with TAG_ERROR.
        self.tag_error: Optional[int] = None
        if status == TAG_ERROR and tag_error is not None and tag_error >= 0:
            self.tag_error = tag_error
        self.message = status_text(status)
        if self.tag_error is not None:
            self.message += f": {tag_error_text(self.tag_error)} (tag error 0x{self.tag_error:02X})"
        super().__init__(f"{function} failed with 0x{status:02X} {self.name}: {self.message}")


def check(status: int, function: str, tag_error: Optional[int] = None) -> int:
    """Raises VelkorError unless status is STATUS_OK; returns it otherwise."""
    if status != STATUS_OK:
        raise VelkorError(status, function, tag_error)
    return status
