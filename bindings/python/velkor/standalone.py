"""Calls that need no open reader: discovery, the library's version and the
channel plans."""

from __future__ import annotations

import ctypes
from itertools import takewhile
from typing import List

from . import _api
from ._args import in_range
from .errors import check
from .reader import Reader, _opener, open_all


def readers() -> List[Reader]:
    """Every reader attached, each opened and greeted; none is not an error.
    Raises a VelkorError subclass when discovery fails otherwise."""
    return [Reader(handle, reopen=_opener(i)) for i, handle in enumerate(open_all())]


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
    check(library.GetChannelList(in_range("region", region, -(1 << 31), (1 << 31) - 1), texts),
          "GetChannelList")
    try:
        return [text.decode("ascii") for text in takewhile(lambda t: t is not None, texts)]
    finally:
        library.FreeChannelList(texts)
