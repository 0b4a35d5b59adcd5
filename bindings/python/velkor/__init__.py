"""Python binding of the Velkor reader library (ctypes, standard library only).

    import velkor
    with velkor.Reader.emulated(seed=7) as reader:
        for tag in reader.inventory():
            print(tag.epc, reader.read(tag, velkor.Bank.TID, 0, 6).hex())

The library is found through VELKOR_LIBRARY (a file path), else beside this
package, else on the system's search path; the emulator likewise through
VELKOR_EMULATOR_LIBRARY.  library() gives the C functions themselves.
"""

from ._api import library
from ._emulator import Emulator, Fault
from ._lib import LibraryNotFoundError
from .errors import (
    STATUS_COMM_ERROR,
    STATUS_COMMAND_MISMATCH,
    STATUS_CRC_ERROR,
    STATUS_INVALID_HANDLE,
    STATUS_OK,
    STATUS_PARAMETER_ERROR,
    VelkorError,
    status_name,
    status_text,
    tag_error_text,
)
from .standalone import channels, readers, sdk_version
from .reader import Reader, ReaderInfo, Region
from .tags import Bank, LockAction, LockField, Tag

__all__ = [
    "Bank",
    "Emulator",
    "Fault",
    "LibraryNotFoundError",
    "LockAction",
    "LockField",
    "Reader",
    "ReaderInfo",
    "Region",
    "STATUS_COMMAND_MISMATCH",
    "STATUS_COMM_ERROR",
    "STATUS_CRC_ERROR",
    "STATUS_INVALID_HANDLE",
    "STATUS_OK",
    "STATUS_PARAMETER_ERROR",
    "Tag",
    "VelkorError",
    "channels",
    "library",
    "readers",
    "sdk_version",
    "status_name",
    "status_text",
    "tag_error_text",
]
