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
from ._app import CoreError
from ._commission import Commissioned, Stage
from ._buffer import BufferRound
from ._emulator import Emulator, Fault
from ._iso6b import Condition
from ._lib import LibraryNotFoundError
from ._settings import Config, ReaderInfo, Region, TagType, WorkMode
from .errors import (
    STATUS_COMM_ERROR,
    STATUS_COMMAND_MISMATCH,
    STATUS_CRC_ERROR,
    STATUS_INVALID_HANDLE,
    STATUS_OK,
    STATUS_PARAMETER_ERROR,
    LinkError,
    NoTagError,
    ParameterError,
    ReaderNotFoundError,
    ReaderStatusError,
    ReplyError,
    SeveralTagsError,
    TagError,
    VelkorError,
    describe,
    status_name,
    status_text,
    tag_error_text,
)
from .reader import Reader
from .standalone import channels, readers, sdk_version
from .tags import Bank, LockAction, LockField, Mask, Read, Tag, Target

__all__ = [
    "Bank",
    "Commissioned",
    "CoreError",
    "BufferRound",
    "Condition",
    "Config",
    "Emulator",
    "Fault",
    "LibraryNotFoundError",
    "LinkError",
    "LockAction",
    "LockField",
    "Mask",
    "NoTagError",
    "ParameterError",
    "Read",
    "Reader",
    "ReaderInfo",
    "ReaderNotFoundError",
    "ReaderStatusError",
    "Region",
    "ReplyError",
    "STATUS_COMMAND_MISMATCH",
    "STATUS_COMM_ERROR",
    "STATUS_CRC_ERROR",
    "STATUS_INVALID_HANDLE",
    "STATUS_OK",
    "STATUS_PARAMETER_ERROR",
    "Stage",
    "SeveralTagsError",
    "Tag",
    "Target",
    "TagError",
    "TagType",
    "VelkorError",
    "WorkMode",
    "channels",
    "describe",
    "library",
    "readers",
    "sdk_version",
    "status_name",
    "status_text",
    "tag_error_text",
]
