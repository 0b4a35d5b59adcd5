"""Status codes in words, and the exceptions that carry a failed status.

Library codes and reader statuses share one value space (0xFF is both the
library's parameter error and the reader's), so one table names them all.
The words come from the library's own status table, so the tool and every
binding say the same for the same status.
"""

from __future__ import annotations

from typing import Dict, Optional, Type

from . import _api
from ._lib import WINDOWS

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

_NAMES = {
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

TAG_ERROR_OTHER = 0x00
TAG_ERROR_MEMORY_OVERRUN = 0x03
TAG_ERROR_MEMORY_LOCKED = 0x04
TAG_ERROR_INSUFFICIENT_POWER = 0x0B
TAG_ERROR_NON_SPECIFIC = 0x0F


def status_name(status: int) -> str:
    """"STATUS_COMM_ERROR", "NO_TAG", ...; "STATUS_0x42" for a code without a name."""
    return _NAMES.get(status, f"STATUS_0x{status & 0xFF:02X}")


def _text(function: str, code: int) -> str:
    text: Optional[bytes] = getattr(_api.library(), function)(code)
    return text.decode("utf-8", "replace") if text else f"code 0x{code & 0xFF:02X}"


def status_text(status: int) -> str:
    """What a status means, in the library's words ("no tag in the field")."""
    return _text("GetReturnCodeText", status)


def tag_error_text(code: int) -> str:
    """What a Gen2 or 6B tag error code means ("memory locked")."""
    return _text("GetTagErrorText", code)


def describe(status: int, tag_error: Optional[int] = None) -> str:
    """"0xFB (no tag in the field)", with the tag error for 0xFC, as the
    velkor tool prints a status."""
    text = f"0x{status & 0xFF:02X} ({status_text(status)}"
    if status == TAG_ERROR and tag_error is not None and tag_error >= 0:
        text += f": {tag_error_text(tag_error)}"
    return text + ")"


class VelkorError(Exception):
    """A library call that did not succeed.

    status is the code the call returned, name its symbolic name, message
    (also text) its meaning in the library's words; tag_error is the tag's
    error code after TAG_ERROR, else None; function is the C function that
    returned it.  The subclasses sort the statuses by where they come from.
    """

    def __init__(
        self,
        status: int,
        function: str,
        tag_error: Optional[int] = None,
        detail: Optional[str] = None,
    ) -> None:
        self.status = status
        self.name = status_name(status)
        self.function = function
        # The library writes the tag error code only with TAG_ERROR.
        self.tag_error: Optional[int] = None
        if status == TAG_ERROR and tag_error is not None and tag_error >= 0:
            self.tag_error = tag_error
        self.text = status_text(status)
        self.message = self.text
        if self.tag_error is not None:
            self.message += f": {tag_error_text(self.tag_error)} (tag error 0x{self.tag_error:02X})"
        if detail:
            self.message += f": {detail}"
        super().__init__(f"{function} failed with 0x{status:02X} {self.name}: {self.message}")


class LinkError(VelkorError):
    """Nothing could be written or read, or no complete reply came in time
    (STATUS_COMM_ERROR), or the handle is not open (STATUS_INVALID_HANDLE):
    the reader is unplugged, closed or silent."""


class ReaderNotFoundError(LinkError):
    """The reader asked for is not attached: none at all, or fewer than its
    index.  status is what discovery returned (STATUS_COMM_ERROR); the
    message says what was found and what to check."""

    def __init__(self, index: int, found: int) -> None:
        super().__init__(STATUS_COMM_ERROR, "GetDeviceList")
        self.index = index
        self.found = found
        self.message = _not_found(index, found)
        self.args = (self.message,)

    def __str__(self) -> str:
        return self.message


def _not_found(index: int, found: int) -> str:
    if found:
        attached = "1 reader is" if found == 1 else f"{found} readers are"
        return (f"there is no reader {index}: {attached} attached, counted from 0 "
                "(velkor.readers() lists them)")
    # Only Linux has a udev rule to install.
    access = "" if WINDOWS else ", and that the udev rule is installed (see README.md)"
    return (f"no reader found: check the USB cable{access}, or use the emulator: "
            "velkor.Reader.emulated()")


class ReplyError(VelkorError):
    """The reply could not be trusted: a bad CRC, an answer to another
    command, or contents that cannot be what they claim (a malformed reply;
    then status is what the call returned and message says what is wrong)."""


class ParameterError(VelkorError):
    """STATUS_PARAMETER_ERROR (0xFF): the library refused an argument before
    sending anything, or the reader refused a value out of its range."""


class NoTagError(VelkorError):
    """No tag answered (0xFB), or none matched the EPC or mask given."""


class SeveralTagsError(VelkorError):
    """Several tags answered an operation that changes one tag, and none was
    named: nothing was changed.  count says how many answered; name the tag
    by its EPC or a Mask."""

    def __init__(self, count: int, function: str, words: str) -> None:
        Exception.__init__(self, f"{function}: {words}")
        self.count = count
        self.status = STATUS_OK
        self.name = "SEVERAL_TAGS"
        self.function = function
        self.tag_error: Optional[int] = None
        self.text = self.message = words


class TagError(VelkorError):
    """The tag reported an error (0xFC); tag_error holds its code."""


class ReaderStatusError(VelkorError):
    """Any other status the reader answered with."""


_CLASSES: Dict[int, Type[VelkorError]] = {
    STATUS_COMM_ERROR: LinkError,
    STATUS_INVALID_HANDLE: LinkError,
    STATUS_CRC_ERROR: ReplyError,
    STATUS_COMMAND_MISMATCH: ReplyError,
    STATUS_PARAMETER_ERROR: ParameterError,
    NO_TAG: NoTagError,
    TAG_ERROR: TagError,
}


def error_for(status: int, function: str, tag_error: Optional[int] = None) -> VelkorError:
    """The VelkorError subclass for status."""
    return _CLASSES.get(status, ReaderStatusError)(status, function, tag_error)


def check(status: int, function: str, tag_error: Optional[int] = None) -> int:
    """Raises the VelkorError for status unless it is STATUS_OK; returns it
    otherwise."""
    if status != STATUS_OK:
        raise error_for(status, function, tag_error)
    return status

