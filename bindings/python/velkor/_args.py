"""Argument checks made before anything reaches ctypes, which would send the
low bits of any number without a word."""

from __future__ import annotations

import ctypes
import string
from typing import Union

Password = Union[int, bytes]
# Data and identifiers: bytes, or the same bytes as hex text ("C0FFEE"; white
# space between the digits is allowed).
BytesLike = Union[bytes, bytearray, memoryview, str]


def in_range(name: str, value: int, lowest: int, highest: int) -> int:
    """value, or ValueError naming the argument and its range."""
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{name} is a whole number, not {value!r}")
    if not lowest <= value <= highest:
        raise ValueError(f"{name} runs from {lowest} to {highest}, not {value}")
    return value


def byte(name: str, value: int) -> int:
    return in_range(name, value, 0, 0xFF)


def data_bytes(name: str, value: BytesLike) -> bytes:
    """value as bytes: bytes as they are, or hex text.  ValueError naming the
    argument for text that is not whole bytes of hex; TypeError saying what
    to pass for anything else."""
    if isinstance(value, str):
        digits = "".join(value.split())
        for digit in digits:
            if digit not in string.hexdigits:
                raise ValueError(f"{name} {value!r} is not hex text: {digit!r} is no hex digit")
        if len(digits) % 2:
            raise ValueError(
                f"{name} {value!r} is not whole bytes: it has {len(digits)} hex digits, "
                "an odd number"
            )
        return bytes.fromhex(digits)
    if isinstance(value, (bytes, bytearray, memoryview)):
        return bytes(value)
    raise TypeError(
        f"{name} is bytes or hex text such as \"C0FFEE\", not {type(value).__name__}"
    )


def buffer(data: bytes) -> "ctypes.Array[ctypes.c_ubyte]":
    """data in a C buffer (one zero byte for none, so the pointer is valid)."""
    return (ctypes.c_ubyte * max(len(data), 1)).from_buffer_copy(data or b"\0")


def password(value: Password, name: str = "password") -> "ctypes.Array[ctypes.c_ubyte]":
    """A 32-bit password as four bytes, the most significant first, as the
    reserved bank holds it; or four bytes as they are."""
    if isinstance(value, (bytes, bytearray)):
        if len(value) != 4:
            raise ValueError(f"{name} is 4 bytes, not {len(value)}")
        return buffer(bytes(value))
    return buffer(in_range(name, value, 0, 0xFFFFFFFF).to_bytes(4, "big"))
