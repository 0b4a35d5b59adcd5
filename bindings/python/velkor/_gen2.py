"""EPC Gen2 tags: inventory, memory, EPC, lock and kill, privacy, EAS and
the Monza QT work parameter.

Every tag command takes a target first: a Tag, an EPC (hex text or bytes),
a Mask, or None.  A command that changes a tag keeps the core's one-tag
rule: None means the only tag in the field (SeveralTagsError, with nothing
changed, when several answer), and it returns the tag it changed; a read
with None reads whichever tag answers.  Each raises ValueError for an
argument out of its range (before anything is sent), and a VelkorError
subclass when the call fails: NoTagError when no tag answered or matched,
TagError with the tag's error code, LinkError when the reader is gone,
ReplyError for a reply that cannot be trusted, ParameterError or
ReaderStatusError for a refusal.
"""

from __future__ import annotations

import ctypes
from typing import List, Optional, Tuple, Union

from . import _app
from ._args import BytesLike, Password, buffer, byte, data_bytes, in_range, password
from ._base import (ReaderBase, changed_tag, decode_tags, tags_of, target_args,
                    target_record)
from .errors import NO_TAG, error_for
from .tags import Bank, LockAction, LockField, Mask, Tag, Target, member

SHORT_POINTER = 0xFF  # word pointers above it take the extended commands
MOST_READ_WORDS = 120  # the most words one read reply carries
MOST_WRITE_WORDS = 32
MOST_NEW_EPC_WORDS = 25
SINGLE_TAG_ROOM = 249  # the most one single-tag reply can carry
_SINGLE_TAG_FOUND = 0x01
INVENTORY_ROOM = 2000  # the most tags one identifier list holds (2-byte EPCs)
# What a tag-changing command returns: the tag it changed, by its EPC, or
# the Mask that named it.
Changed = Union[Tag, Mask]

BankLike = Union[Bank, int, str]


def _bank(value: BankLike) -> int:
    return int(member(Bank, value, "bank"))


def _pointer(word_ptr: int) -> int:
    return in_range("word pointer", word_ptr, 0, 0xFFFF)


class Gen2Commands(ReaderBase):
    """Reader's Gen2 family."""

    # -- inventory -----------------------------------------------------------

    def inventory(self, mask: Optional[Mask] = None) -> List[Tag]:
        """The Gen2 tags in the field (those mask matches, when given), as
        the core's round decodes them; an empty field is an empty list.
        Raises LinkError, ReplyError or ReaderStatusError."""
        tags = (_app.TagRecord * INVENTORY_ROOM)()
        count = ctypes.c_int(0)
        selection = target_record(mask).mask if mask is not None else None
        self.core_call("velkor_app_inventory", selection, 0, 0, tags, INVENTORY_ROOM,
                       ctypes.byref(count))
        return tags_of(tags, count.value)

    def single_tag(self) -> Optional[Tag]:
        """One tag that answers, or None for an empty field.  Raises as
        inventory()."""
        name = "SingleTagInventory_G2"
        data = (ctypes.c_ubyte * SINGLE_TAG_ROOM)()
        antenna = ctypes.c_int(0)
        status = self.call(name, data, None, ctypes.byref(antenna))
        if status == NO_TAG:
            return None
        if status != _SINGLE_TAG_FOUND:
            raise error_for(status, name)
        tags = self._decode(name, status, lambda: decode_tags(bytes(data[: 1 + data[0]]),
                                                              antenna.value))
        return tags[0]

    # -- memory --------------------------------------------------------------

    def read(
        self, tag: Target, bank: BankLike, word_ptr: int, word_count: int,
        password: Password = 0,
    ) -> bytes:
        """word_count (1 to 120) words of bank from word_ptr (0 to 65535) on,
        two bytes each.  Raises ValueError, TagError (0x03: past the bank),
        NoTagError, LinkError, ReplyError or another VelkorError."""
        t = target_args(tag)
        words = in_range("word count", word_count, 1, MOST_READ_WORDS)
        data = (ctypes.c_ubyte * (2 * words))()
        name, pointer = _word_pointer("ReadData_G2", "ExtReadData_G2", _pointer(word_ptr))
        self._run_tag(
            name, t.epc, t.words, _bank(bank), pointer, words, _password(password),
            t.mask_bank, t.mask_address, t.mask_bits, t.mask_data, data,
        )
        return bytes(data)

    def write(
        self, tag: Target, bank: BankLike, word_ptr: int, data: BytesLike,
        password: Password = 0, block: bool = False,
    ) -> Changed:
        """Writes data (1 to 32 whole words, as bytes or hex text) to bank
        from word_ptr on; block uses the block write (word pointer up to
        255).  tag None: the only tag in the field.  Returns the tag
        written.  Raises ValueError, TypeError (data neither bytes nor text),
        NoTagError (none in the field), SeveralTagsError (several and none
        named: nothing written), TagError (0x04: locked), LinkError,
        ReplyError or another VelkorError."""
        data = data_bytes("data", data)
        if len(data) % 2:
            raise ValueError(
                f"tag memory is written in whole words of 2 bytes, and {len(data)} bytes "
                "of data is an odd number"
            )
        words = in_range("data length in words", len(data) // 2, 1, MOST_WRITE_WORDS)
        target = target_record(tag, _password_bytes(password))
        changed = _app.TargetRecord()
        if not block:
            self.core_call("velkor_app_write", ctypes.byref(target), _bank(bank),
                           _pointer(word_ptr), buffer(data), len(data), ctypes.byref(changed))
            return changed_tag(changed)
        pointer = in_range("block write word pointer", word_ptr, 0, SHORT_POINTER)
        settled = self._settle(target, "block write")
        t = target_args(settled)
        self._run_tag(
            "BlockWrite_G2", t.epc, words, t.words, _bank(bank), pointer, buffer(data),
            _password(password), t.mask_bank, t.mask_address, t.mask_bits, t.mask_data,
        )
        return settled

    def _settle(self, target: "_app.TargetRecord", operation: str) -> Changed:
        """The one-tag rule, by the core, for commands it does not run."""
        settled = _app.TargetRecord()
        self.core_call("velkor_app_settle", ctypes.byref(target), operation.encode(),
                       ctypes.byref(settled))
        return changed_tag(settled)

    def _change(self, name: str, tag: Target, password: bytes, *args: object) -> Changed:
        """A core operation under the one-tag rule; the tag it changed."""
        target = target_record(tag, password)
        changed = _app.TargetRecord()
        self.core_call(name, ctypes.byref(target), *args, ctypes.byref(changed))
        return changed_tag(changed)

    def erase(
        self, tag: Target, bank: BankLike, word_ptr: int, word_count: int,
        password: Password = 0,
    ) -> Changed:
        """Erases (zeroes) word_count (1 to 255) words of bank from word_ptr
        (0 to 255) on.  Returns the tag erased; raises as write()."""
        return self._change("velkor_app_erase", tag, _password_bytes(password), _bank(bank),
                            byte("word pointer", word_ptr),
                            in_range("word count", word_count, 1, 0xFF))

    def write_epc(self, epc: BytesLike, password: Password = 0, tag: Target = None) -> Changed:
        """Gives a tag a new EPC (1 to 25 whole words, as bytes or hex text):
        the tag named (by EPC or Mask), else the only one in the field.
        Returns the tag as it was named before.  Raises as write()."""
        new = data_bytes("epc", epc)
        if len(new) % 2:
            raise ValueError(
                f"an EPC is whole words of 2 bytes, and {len(new)} bytes is an odd number"
            )
        in_range("EPC length in words", len(new) // 2, 1, MOST_NEW_EPC_WORDS)
        return self._change("velkor_app_write_epc", tag, _password_bytes(password),
                            buffer(new), len(new))

    # -- lock and kill -------------------------------------------------------

    def lock(
        self, tag: Target, field: Union[LockField, int, str],
        action: Union[LockAction, int, str], password: Password = 0,
    ) -> Changed:
        """Locks or unlocks one field of the tag: field kill, access, epc,
        tid or user; action unlock, permaunlock, lock or permalock (members,
        numbers or those names).  Returns the tag locked; raises as
        write()."""
        return self._change("velkor_app_lock", tag, _password_bytes(password),
                            int(member(LockField, field, "lock field")),
                            int(member(LockAction, action, "lock action")))

    def block_lock(self, tag: Target, block_param: int, password: Password = 0) -> Changed:
        """The block lock with its parameter byte, as the tag takes it.
        Returns the tag; raises as write()."""
        return self._change("velkor_app_block_lock", tag, _password_bytes(password),
                            byte("block lock parameter", block_param))

    def kill(self, tag: Target, kill_password: Password) -> Changed:
        """Kills the tag for good; it needs its non-zero kill password.
        Returns the tag killed; raises as write() (TagError 0x00 for a wrong
        password)."""
        return self._change("velkor_app_kill", tag,
                            _password_bytes(kill_password, "kill password"))

    # -- privacy and EAS -----------------------------------------------------

    def set_privacy(self, tag: Target = None, password: Password = 0) -> Changed:
        """Puts the named tag (else the only one in the field) into privacy,
        hidden from inventories.  Returns the tag; raises as write()."""
        return self._change("velkor_app_privacy", tag, _password_bytes(password))

    def reset_privacy(self, password: Password = 0) -> None:
        """Takes the tags the password opens out of privacy.  Raises as
        write()."""
        self._run_tag("ResetPrivacy_G2", _password(password))

    def check_privacy(self) -> bool:
        """Whether a tag in the field is in privacy.  Raises as write()."""
        state = ctypes.c_ubyte(0)
        self._run_tag("CheckPrivacy_G2", ctypes.byref(state))
        return state.value != 0

    def set_eas(self, tag: Target, on: bool, password: Password = 0) -> Changed:
        """Sets (on) or clears the tag's EAS bit.  Returns the tag; raises as
        write()."""
        return self._change("velkor_app_eas", tag, _password_bytes(password), 1 if on else 0)

    def eas_alarm(self) -> bool:
        """Whether a tag with its EAS bit set is in the field.  Raises
        LinkError, ReplyError or another VelkorError."""
        name = "EASAlarm_G2"
        error = ctypes.c_int(-1)
        status = self.call(name, ctypes.byref(error))
        if status == NO_TAG:  # the reader's way of saying that no tag raises it
            return False
        if status:
            raise error_for(status, name, error.value)
        return True

    # -- Monza QT ------------------------------------------------------------

    def monza_qt(self, tag: Target, password: Password = 0) -> int:
        """The tag's Monza QT work parameter byte.  Raises as write()."""
        t = target_args(tag)
        value = ctypes.c_ubyte(0)
        self._run_tag(
            "GetMonza4QTWorkParamter_G2", t.epc, t.words, _password(password),
            t.mask_bank, t.mask_address, t.mask_bits, t.mask_data, ctypes.byref(value),
        )
        return value.value

    def set_monza_qt(self, tag: Target, value: int, password: Password = 0) -> Changed:
        """Writes the tag's Monza QT work parameter byte.  Returns the tag;
        raises as write()."""
        value = byte("Monza QT parameter", value)
        settled = self._settle(target_record(tag, _password_bytes(password)), "Monza QT")
        t = target_args(settled)
        self._run_tag(
            "SetMonza4QTWorkParamter_G2", t.epc, t.words, value,
            _password(password), t.mask_bank, t.mask_address, t.mask_bits, t.mask_data,
        )
        return settled


def _password(value: Password, name: str = "password") -> "ctypes.Array[ctypes.c_ubyte]":
    return password(value, name)


def _password_bytes(value: Password, name: str = "password") -> bytes:
    return bytes(password(value, name))


def _word_pointer(short: str, extended: str, word_ptr: int) -> Tuple[str, object]:
    """The function and word pointer argument: one byte where it fits, else
    the extended command with two bytes, high byte first."""
    if word_ptr <= SHORT_POINTER:
        return short, word_ptr
    return extended, buffer(word_ptr.to_bytes(2, "big"))
