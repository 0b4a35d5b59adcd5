"""Status codes in words, and the exception that carries a failed status.

Library codes and reader statuses share one value space (0xFF is both the
library's parameter error and the reader's), so one table names them all.
"""

from __future__ import annotations

from typing import Optional

from ._api import library

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

# code: name.  The texts are the library's (GetReturnCodeText).
_STATUSES = {
    STATUS_OK: "STATUS_OK",
    0x01: "INVENTORY_COMPLETE",
    0x02: "INVENTORY_STOPPED",
    0x03: "MORE_FRAMES",
    0x04: "TAG_MEMORY_FULL",
    STATUS_COMM_ERROR: "STATUS_COMM_ERROR",
    STATUS_CRC_ERROR: "STATUS_CRC_ERROR",
    STATUS_INVALID_HANDLE: "STATUS_INVALID_HANDLE",
    STATUS_COMMAND_MISMATCH: "STATUS_COMMAND_MISMATCH",
    0xF8: "INVENTORY_FAILED",
    0xF9: "INVENTORY_ABORTED",
    0xFA: "TAG_UNREADABLE",
    NO_TAG: "NO_TAG",
    TAG_ERROR: "TAG_ERROR",
    0xFD: "LENGTH_ERROR",
    0xFE: "UNKNOWN_COMMAND",
    STATUS_PARAMETER_ERROR: "STATUS_PARAMETER_ERROR",
}

# Gen2 tag error codes that come with TAG_ERROR.
TAG_ERROR_OTHER = 0x00
TAG_ERROR_MEMORY_OVERRUN = 0x03
TAG_ERROR_MEMORY_LOCKED = 0x04
TAG_ERROR_INSUFFICIENT_POWER = 0x0B
TAG_ERROR_NON_SPECIFIC = 0x0F


def status_name(status: int) -> str:
    """"STATUS_COMM_ERROR", "NO_TAG", ...; "STATUS_0x42" for a code without a name."""
    return _STATUSES.get(status, f"STATUS_0x{status & 0xFF:02X}")


def status_text(status: int) -> str:
    """The library's words for a status ("no tag in the field", ...).

    Like every call, the first one loads the library.
    """
    return str(library().GetReturnCodeText(status).decode("ascii"))


def tag_error_text(code: int) -> str:
    """The library's words for a tag error code ("memory locked", ...)."""
    return str(library().GetTagErrorText(code).decode("ascii"))


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
