"""One reader behind a device handle, with every command family: Gen2 tags
and watch(), 6B tags, the reader's buffer, settings and I/O, calibration
reads."""

from __future__ import annotations

import ctypes
from typing import List, Optional, Tuple

from . import _api
from ._args import in_range
from ._base import BROADCAST_ADDRESS, Reopen
from ._buffer import BufferCommands
from ._calibration import CalibrationReads
from ._commission import CommissionCommands
from ._emulator import DEFAULT_GEN2_TAGS, DEFAULT_ISO6B_TAGS, DEFAULT_SEED, Emulator
from ._iso6b import Iso6bCommands
from ._settings import SettingsCommands
from ._watch import WatchCommands
from .errors import STATUS_COMM_ERROR, ReaderNotFoundError, check


def open_all() -> List[int]:
    """The handles of every reader attached, each opened and greeted."""
    handles = (_api.HANDLE * _api.MAX_DEVICES)()
    count = ctypes.c_int(0)
    status = _api.library().GetDeviceList(handles, ctypes.byref(count))
    if status == STATUS_COMM_ERROR:  # also "no reader found"
        return []
    check(status, "GetDeviceList")
    return [handles[i] for i in range(min(max(count.value, 0), _api.MAX_DEVICES))]


def _opener(index: int) -> Reopen:
    """Opens reader index of those attached, closing the others."""

    def reopen() -> Tuple[int, Optional[Emulator]]:
        handles = open_all()
        for i, handle in enumerate(handles):
            if i != index:
                _api.library().CloseUSBPort(handle)
        if index >= len(handles):
            raise ReaderNotFoundError(index, len(handles))
        return handles[index], None

    return reopen


class Reader(
    WatchCommands, Iso6bCommands, BufferCommands, SettingsCommands, CalibrationReads,
    CommissionCommands,
):
    """A reader; use it as a context manager (or call close()) so that its
    handle is closed, and an emulated reader stopped, when done; a Reader
    dropped unclosed closes itself when collected.  Calls from several
    threads are serialised, as the library requires for one handle.

    Every method raises ValueError for an argument out of its range before
    anything is sent, and a VelkorError subclass (velkor.errors) for every
    failure that comes from the reader or the link."""

    @classmethod
    def open(cls, index: int = 0, address: int = BROADCAST_ADDRESS) -> "Reader":
        """Reader index of those attached (as `velkor --device`).  Raises
        ReaderNotFoundError (a LinkError) when it is not there."""
        opener = _opener(in_range("index", index, 0, _api.MAX_DEVICES - 1))
        handle, _ = opener()
        return cls(handle, address, reopen=opener)

    @classmethod
    def emulated(
        cls,
        seed: int = DEFAULT_SEED,
        gen2_tags: int = DEFAULT_GEN2_TAGS,
        iso6b_tags: int = DEFAULT_ISO6B_TAGS,
        feed: int = 0,
    ) -> "Reader":
        """A reader served by the emulator, its tags made from seed; the
        defaults are those of `velkor --emulate`.  feed fresh Gen2 tags are
        placed one at a time, as at an encoding station (Emulator.feed()).
        reconnect() plugs in a fresh one with the same seed."""

        def start() -> Tuple[int, Optional[Emulator]]:
            emulator = Emulator.start(seed, gen2_tags, iso6b_tags)
            if feed:
                emulator.feed(feed)
            return emulator.handle, emulator

        handle, emulator = start()
        return cls(handle, emulator=emulator, reopen=start)
