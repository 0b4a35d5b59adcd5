"""The reader emulator of libvelkor_emulator.so, for tests and trying the
binding without a reader (Linux only)."""

from __future__ import annotations

import ctypes
from enum import IntEnum
from functools import lru_cache
from typing import List, Optional

from . import _lib

DEFAULT_SEED = 1
DEFAULT_GEN2_TAGS = 6  # as `velkor --emulate`
DEFAULT_ISO6B_TAGS = 2
MAX_TAGS = 1000
_MAX_EPC = 255
_MAX_VIOLATION_TEXT = 256

_SIGNATURES = {
    "velkor_emulator_start": [ctypes.c_uint64, ctypes.c_int, ctypes.c_int],
    "velkor_emulator_stop": [ctypes.c_int],
    "velkor_emulator_disconnect": [ctypes.c_int],
    "velkor_emulator_inject": [ctypes.c_int, ctypes.c_int, ctypes.c_int],
    "velkor_emulator_violations": [ctypes.c_int],
    "velkor_emulator_violation": [ctypes.c_int, ctypes.c_int, ctypes.c_char_p, ctypes.c_int],
    "velkor_emulator_gen2_count": [ctypes.c_int],
    "velkor_emulator_feed": [ctypes.c_int, ctypes.c_int],
    "velkor_emulator_gen2_epc": [
        ctypes.c_int,
        ctypes.c_int,
        ctypes.POINTER(ctypes.c_ubyte),
        ctypes.c_int,
    ],
}


class Fault(IntEnum):
    """Faults the emulator applies to its next reply."""

    STATUS = 1  # the last frame carries the status given as value
    ECHO = 2  # every frame names the command byte given as value
    CORRUPT_CRC = 3
    SILENCE = 4  # no reply at all
    EMPTY_REPORTS = 5  # value polls answered empty first
    STRAY_BYTE = 6  # the byte given as value goes ahead of the reply


@lru_cache(maxsize=None)
def _library() -> ctypes.CDLL:
    dll = _lib.loaded(_lib.EMULATOR)
    for name, argtypes in _SIGNATURES.items():
        function = getattr(dll, name)
        function.argtypes = argtypes
        function.restype = ctypes.c_int
    return dll


class Emulator:
    """One running emulated reader, reached through its device handle."""

    def __init__(self, handle: int) -> None:
        self.handle = handle
        self._violations_at_stop: Optional[List[str]] = None

    @classmethod
    def start(
        cls,
        seed: int = DEFAULT_SEED,
        gen2_tags: int = DEFAULT_GEN2_TAGS,
        iso6b_tags: int = DEFAULT_ISO6B_TAGS,
    ) -> "Emulator":
        """A new reader whose tag population is made from seed."""
        for count in (gen2_tags, iso6b_tags):
            if not 0 <= count <= MAX_TAGS:
                raise ValueError(f"tag counts run from 0 to {MAX_TAGS}, not {count}")
        if not 0 <= seed < 1 << 64:
            raise ValueError(f"the seed is a 64-bit unsigned number, not {seed}")
        handle = _library().velkor_emulator_start(seed, gen2_tags, iso6b_tags)
        if handle < 0:
            raise OSError("the emulator could not make its socket pair")
        return cls(handle)

    def _call(self, name: str, *args: object) -> int:
        result: int = getattr(_library(), name)(self.handle, *args)
        if result < 0:
            raise RuntimeError(f"{name}: no running emulator has handle {self.handle}")
        return result

    def stop(self) -> None:
        """Stops the emulator and closes its handle."""
        witnessed = self.violations()
        self._call("velkor_emulator_stop")
        self._violations_at_stop = witnessed

    def violations(self) -> List[str]:
        """The host protocol violations the emulator has recorded, in order
        (a full read not acknowledged, a poll before the last report was
        acknowledged, a command frame without its CTRL_BEGIN, non-zero
        padding, a count byte disagreeing with its frame); once stopped,
        those it had recorded then.  A test on the emulator fails on any."""
        if self._violations_at_stop is not None:
            return list(self._violations_at_stop)
        texts: List[str] = []
        buffer = ctypes.create_string_buffer(_MAX_VIOLATION_TEXT)
        for index in range(self._call("velkor_emulator_violations")):
            self._call("velkor_emulator_violation", index, buffer, len(buffer))
            texts.append(buffer.value.decode(errors="replace"))
        return texts

    def disconnect(self) -> None:
        """Unplugs the emulated reader: every command fails from now on."""
        self._call("velkor_emulator_disconnect")

    def inject(self, fault: Fault, value: int = 0) -> None:
        """Applies fault to the reply of the next command."""
        if not 0 <= value <= 0xFF:
            raise ValueError(f"a fault's value is a byte, not {value}")
        self._call("velkor_emulator_inject", int(fault), value)

    def feed(self, count: int) -> None:
        """Queues count fresh Gen2 tags, placed on the reader one at a time:
        the next once the EPC of the last one placed has changed, as at an
        encoding station."""
        if not 0 <= count <= MAX_TAGS:
            raise ValueError(f"tag counts run from 0 to {MAX_TAGS}, not {count}")
        self._call("velkor_emulator_feed", count)

    def gen2_epcs(self) -> List[str]:
        """The EPCs of the Gen2 tags in the field, killed ones included, in
        upper-case hex."""
        epcs: List[str] = []
        buffer = (ctypes.c_ubyte * _MAX_EPC)()
        for index in range(self._call("velkor_emulator_gen2_count")):
            length = self._call("velkor_emulator_gen2_epc", index, buffer, _MAX_EPC)
            epcs.append(bytes(buffer[:length]).hex().upper())
        return epcs
