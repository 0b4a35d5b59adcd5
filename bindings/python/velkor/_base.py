"""What every command family of Reader stands on: the handle and its
lifetime, the reader address, one lock per handle, and the calls that turn
a status into an exception."""

from __future__ import annotations

import ctypes
import threading
from typing import Any, Callable, List, NamedTuple, Optional, Tuple, TypeVar, Union

from . import _api, _app
from ._args import buffer, byte
from ._emulator import Emulator
from .errors import STATUS_INVALID_HANDLE, LinkError, ReplyError, check
from .tags import Mask, Tag, Target, epc_of

BROADCAST_ADDRESS = 0xFF  # every reader answers it besides its own address
WORDS_BY_MASK = 0xFF  # the identifier's word count that says "by mask"

T = TypeVar("T")
# Opens the reader again after it was lost: its new handle and emulator.
Reopen = Callable[[], Tuple[int, Optional[Emulator]]]


class TargetArgs(NamedTuple):
    """A tag command's identifier and mask group, as the C functions take
    them: the EPC buffer and its words (0 for any tag, 0xFF for the mask
    form), then bank, bit address, bit count and bits of the mask."""

    epc: "ctypes.Array[ctypes.c_ubyte]"
    words: int
    mask_bank: int
    mask_address: "ctypes.Array[ctypes.c_ubyte]"
    mask_bits: int
    mask_data: "ctypes.Array[ctypes.c_ubyte]"


def target_args(target: Target) -> TargetArgs:
    """ValueError for an EPC or mask that cannot name a tag."""
    none = buffer(b"")
    if target is None:
        return TargetArgs(none, 0, 0, buffer(bytes(2)), 0, none)
    if isinstance(target, Mask):
        return TargetArgs(
            none,
            WORDS_BY_MASK,
            int(target.bank),
            buffer(target.bit_address.to_bytes(2, "big")),
            target.bit_count,
            buffer(target.data),
        )
    epc = epc_of(target)
    return TargetArgs(buffer(epc), len(epc) // 2, 0, buffer(bytes(2)), 0, none)


def target_record(target: Target, password: bytes = bytes(4)) -> "_app.TargetRecord":
    """The core's target for a Tag, an EPC, a Mask or None (unnamed: the
    only tag in the field), with the access (or kill) password."""
    record = _app.TargetRecord()
    if isinstance(target, Mask):
        record.mask.bank = int(target.bank)
        record.mask.bit_address = target.bit_address
        record.mask.bits = target.bit_count
        record.mask.length = len(target.data)
        ctypes.memmove(record.mask.bytes, target.data, len(target.data))
    elif target is not None:
        epc = epc_of(target)
        record.epc_length = len(epc)
        ctypes.memmove(record.epc, epc, len(epc))
    ctypes.memmove(record.password, bytes(password), 4)
    return record


def changed_tag(record: "_app.TargetRecord") -> Union[Tag, Mask]:
    """The tag an operation changed, as the core settled it: the Tag of its
    EPC, or the Mask it was named by."""
    if record.epc_length:
        return Tag(bytes(record.epc[: record.epc_length]).hex().upper())
    mask = record.mask
    bits = None if mask.bits in (-1, 8 * mask.length) else mask.bits
    return Mask(bytes(mask.bytes[: mask.length]), mask.bank, mask.bit_address, bits)


def tags_of(records: "ctypes.Array[_app.TagRecord]", count: int) -> List[Tag]:
    """The core's decoded records as Tags."""
    return [Tag(bytes(r.epc[: r.epc_length]).hex().upper(), r.antenna)
            for r in records[: min(count, len(records))]]


def decode_tags(records: bytes, antenna: int) -> List[Tag]:
    """A tag-identifier list (per tag its length byte, then the EPC), as the
    core decodes it; ValueError for a record that runs past the list."""
    room = max(len(records) // 2, 1)
    tags = (_app.TagRecord * room)()
    count = ctypes.c_int(0)
    result = _app.core().velkor_app_decode_records(buffer(records), len(records), 0, 0, tags,
                                                   room, ctypes.byref(count))
    if result != _app.OK:
        raise ValueError(f"a tag record runs past the list's {len(records)} bytes")
    return [Tag(tag.epc, antenna) for tag in tags_of(tags, count.value)]


class ReaderBase:
    """One open reader behind a device handle."""

    def __init__(
        self,
        handle: int,
        address: int = BROADCAST_ADDRESS,
        emulator: Optional[Emulator] = None,
        reopen: Optional[Reopen] = None,
    ) -> None:
        self._closed = True  # until the handle is ours, __del__ has nothing to close
        self._handle = handle
        self._session: Optional[int] = None  # the core's, made at its first use
        self._address = ctypes.c_ubyte(byte("address", address))
        self.emulator = emulator
        self._reopen = reopen
        self._lock = threading.Lock()
        self._lost = False  # released by reconnect() and not open again yet
        self._watch_job: Optional[Any] = None  # the watch running, ended by close()
        self._closed = False

    def core_call(self, name: str, *args: object) -> None:
        """Runs the core's function name with the session first and its
        error last; raises the binding's exception for its failure."""
        function = getattr(_app.core(), name)
        error = _app.Error()
        with self._lock:
            session = self._core_session(name)
            try:
                result: int = function(session, *args, ctypes.byref(error))
            finally:
                self._address_back()
        _app.check(result, error)

    def _core_session(self, name: str) -> int:
        """Under the lock: the core's session over the handle, made at its
        first use (the direct commands need no core), holding the commands'
        address byte; _address_back() takes the byte back after the call."""
        if self._closed or self._lost:
            raise LinkError(STATUS_INVALID_HANDLE, name)
        if self._session is None:
            self._session = _app.core().velkor_app_adopt(self._handle, self._address.value)
            if not self._session:
                raise MemoryError("no memory for the core's session")
        _app.core().velkor_app_address(self._session)[0] = self._address.value
        return self._session

    def _address_back(self) -> None:
        if self._session is not None:
            self._address.value = _app.core().velkor_app_address(self._session)[0]

    @property
    def handle(self) -> int:
        return self._handle

    @property
    def address(self) -> int:
        """The reader address the commands are sent to; some commands store
        the address the reader answered from."""
        return int(self._address.value)

    @address.setter
    def address(self, value: int) -> None:
        self._address.value = byte("address", value)

    @property
    def closed(self) -> bool:
        return self._closed

    def _release(self) -> None:
        # Under the lock: the core's session, then the handle, or the
        # emulator that owns it.
        if self._session is not None:
            _app.core().velkor_app_close(self._session, None)
            self._session = None
        if self.emulator is not None:
            emulator, self.emulator = self.emulator, None
            emulator.stop()
        else:
            _api.library().CloseUSBPort(self._handle)

    def close(self) -> None:
        """Closes the handle, or stops the emulator that owns it.  Closing
        twice does nothing; raises nothing."""
        job = self._watch_job
        if job is not None:
            job.cancel()
        with self._lock:
            if self._closed:
                return
            self._closed = True
            if not self._lost:
                self._release()

    def __del__(self) -> None:
        # A Reader dropped without close() must not leak its descriptor; at
        # interpreter exit the library may already be gone.
        if not getattr(self, "_closed", True):
            try:
                self.close()
            except Exception:
                pass

    @property
    def can_reconnect(self) -> bool:
        """Whether reconnect() can open this reader again."""
        return not self._closed and self._reopen is not None

    def reconnect(self) -> None:
        """Lets go of the handle and opens the reader again (a reader from
        velkor.readers() or Reader.open() by its index, an emulated one as a
        fresh emulator with the same seed).  Raises LinkError while it is not
        back (call again later), or when it cannot be reopened (a closed
        reader, or one made from a bare handle)."""
        with self._lock:
            if not self.can_reconnect:
                raise LinkError(STATUS_INVALID_HANDLE, "reconnect")
            assert self._reopen is not None
            if not self._lost:
                self._release()
                self._lost = True
            self._handle, self.emulator = self._reopen()
            self._lost = False

    def __enter__(self: T) -> T:
        return self

    def __exit__(self, *exc_info: object) -> None:
        self.close()

    def __repr__(self) -> str:
        kind = "emulated " if self.emulator is not None else ""
        state = "closed" if self._closed else f"handle {self._handle}"
        return f"<velkor.Reader {kind}{state}, address 0x{self.address:02X}>"

    def call(self, name: str, *args: object) -> int:
        """Runs C function name with the reader address first and the handle
        last; returns its status unchecked.  Raises LinkError on a closed
        reader (its descriptor may already belong to someone else)."""
        function = getattr(_api.library(), name)
        with self._lock:
            if self._closed or self._lost:
                raise LinkError(STATUS_INVALID_HANDLE, name)
            status: int = function(ctypes.byref(self._address), *args, self._handle)
        return status

    def _run(self, name: str, *args: object) -> None:
        check(self.call(name, *args), name)

    def _run_tag(self, name: str, *args: object) -> None:
        # Tag commands: the tag error code pointer stands before the handle.
        error = ctypes.c_int(-1)
        check(self.call(name, *args, ctypes.byref(error)), name, error.value)

    def _decode(self, name: str, status: int, decode: Callable[[], T]) -> T:
        """decode(), with a reply whose contents cannot be decoded turned
        into ReplyError rather than escaping as ValueError."""
        try:
            return decode()
        except (ValueError, IndexError) as error:
            raise ReplyError(status, name, detail=f"malformed reply: {error}") from None

    def _byte_out(self, name: str, *args: object) -> int:
        """A getter whose single output is one byte."""
        value = ctypes.c_ubyte(0)
        self._run(name, *args, ctypes.byref(value))
        return value.value

    def _bytes_out(self, name: str, size: int, *args: object) -> bytes:
        """A getter whose output is size bytes at one pointer."""
        block = (ctypes.c_ubyte * size)()
        self._run(name, *args, block)
        return bytes(block)
