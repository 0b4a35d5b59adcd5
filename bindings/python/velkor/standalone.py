"""Calls that need no open reader: discovery, the library's version and the
channel plans."""

from __future__ import annotations

import ctypes
from itertools import takewhile
from typing import List

from . import _api
from .errors import STATUS_COMM_ERROR, check
from .reader import Reader


def readers() -> List[Reader]:
    """Every reader attached, each opened and greeted; none is not an error."""
    handles = (_api.HANDLE * _api.MAX_DEVICES)()
    count = ctypes.c_int(0)
    status = _api.library().GetDeviceList(handles, ctypes.byref(count))
    if status == STATUS_COMM_ERROR:  # also "no reader found"
        return []
    check(status, "GetDeviceList")
    return [Reader(handles[i]) for i in range(count.value)]


def sdk_version() -> str:
    """The library's version, "major.minor.patch"."""
    version = (ctypes.c_ubyte * 3)()
    check(_api.library().GetSDKVersion(version), "GetSDKVersion")
    return ".".join(str(part) for part in version)


def channels(region: int) -> List[str]:
    """The channel frequencies of a region as texts ("920.125 MHz", ...);
    empty for a region without a channel plan."""
    texts = (ctypes.c_char_p * _api.MAX_CHANNELS)()
    library = _api.library()
    check(library.GetChannelList(region, texts), "GetChannelList")
    try:
        return [text.decode("ascii") for text in takewhile(lambda t: t is not None, texts)]
    finally:
        library.FreeChannelList(texts)
