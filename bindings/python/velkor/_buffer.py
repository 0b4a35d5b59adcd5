"""The reader's own tag buffer, filled by buffered inventories.

Each method raises a VelkorError subclass when the call fails: LinkError,
ReplyError (a malformed tag list included), ReaderStatusError when the
reader refuses.
"""

from __future__ import annotations

import ctypes
from typing import List, NamedTuple, Optional

from . import _api
from ._args import byte
from ._base import ReaderBase, decode_tags, target_args
from .errors import INVENTORY_COMPLETE, error_for
from .tags import Mask, Tag

_NO_GROUP = (0, 0, 0, 0, 0, 0, 0)  # TID and trailing groups left out


class BufferRound(NamedTuple):
    """What a buffered inventory reports: the tags the buffer holds, and
    those seen in this round."""

    held: int
    seen: int


class BufferCommands(ReaderBase):
    """Reader's buffer family."""

    def buffered_inventory(self, mask: Optional[Mask] = None) -> BufferRound:
        """Inventories Gen2 tags (those mask matches, when given) into the
        reader's buffer."""
        held, seen = ctypes.c_int(0), ctypes.c_int(0)
        t = target_args(mask)
        self._run(
            "InventoryBuffer_G2", *_api.INVENTORY_PARAMS, t.mask_bank, t.mask_address, t.mask_bits, t.mask_data,
            1 if mask is not None else 0, *_NO_GROUP, ctypes.byref(held), ctypes.byref(seen),
        )
        return BufferRound(held.value, seen.value)

    def read_buffer(self) -> List[Tag]:
        """The tags in the buffer (antenna 0: the buffer keeps none)."""
        name = "ReadBuffer_G2"
        records = (ctypes.c_ubyte * _api.MAX_INVENTORY)()
        total, count = ctypes.c_int(0), ctypes.c_int(0)
        status = self.call(name, ctypes.byref(total), ctypes.byref(count), records)
        # The last frame of a complete read says 0x01.
        if status != INVENTORY_COMPLETE:
            raise error_for(status, name)
        size = min(max(total.value, 0), _api.MAX_INVENTORY)
        return self._decode(name, status, lambda: decode_tags(bytes(records[:size]), 0))

    def buffer_count(self) -> int:
        """How many tags the buffer holds."""
        count = ctypes.c_int(0)
        self._run("GetBufferCnt_G2", ctypes.byref(count))
        return count.value

    def clear_buffer(self) -> None:
        """Empties the buffer."""
        self._run("ClearBuffer_G2")

    @property
    def save_len(self) -> int:
        """How many EPC bytes the buffer keeps per tag (the reader refuses
        lengths out of its range)."""
        return self._byte_out("GetSaveLen")

    @save_len.setter
    def save_len(self, length: int) -> None:
        self._run("SetSaveLen", byte("save length", length))
