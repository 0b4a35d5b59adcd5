"""The GS1 EPC codec (libvelkor_epc) through its C API: EPC bank content to
its scheme, fields and URIs, and back from a tag URI, a pure-identity URI or
a GS1 key.  See docs/python.md.

    from velkor import epc
    e = epc.decode("3074257BF7194E4000001A85")
    e.tag_uri   # 'urn:epc:tag:sgtin-96:3.0614141.812345.6789'
    epc.encode("urn:epc:tag:sgtin-96:3.0614141.812345.6789")   # '3074257B...'
    epc.encode_gs1("gtin", "80614141123458", prefix_length=7, serial="6789", filter=3)

The library is found through VELKOR_EPC_LIBRARY (a file path), else beside
this package, else on the system's search path.  Bad input raises EpcError,
whose message names the field ("serial: 274877906944 does not fit in 38 bits").
"""

from __future__ import annotations

import ctypes
from dataclasses import dataclass
from functools import lru_cache
from typing import Callable, Optional

from ._args import BytesLike, data_bytes
from ._lib import EPC, loaded

__all__ = ["Epc", "EpcError", "decode", "encode", "encode_gs1", "KEYS"]

_BYTES_MAX = 32
_URI_MAX = 128
_GS1_MAX = 64
_NO_GS1_FORM = 12
_BAD_CHARACTER = 7
_FIELD_EPC = 1

#: The GS1 keys encode_gs1 takes, by name.
KEYS = {"gtin": 1, "sscc": 2, "gln": 3, "grai": 4, "giai": 5, "gsrn": 6, "gdti": 7}


class EpcError(ValueError):
    """Input the codec refuses: status and field are the C API's numbers."""

    def __init__(self, message: str, status: int, field: int) -> None:
        super().__init__(message)
        self.status = status
        self.field = field


class _Error(ctypes.Structure):
    _fields_ = [("status", ctypes.c_int), ("field", ctypes.c_int),
                ("message", ctypes.c_char * 160)]


class _Fields(ctypes.Structure):
    _fields_ = [("scheme", ctypes.c_int), ("filter", ctypes.c_uint),
                ("partition", ctypes.c_uint), ("company_prefix", ctypes.c_char * 16),
                ("reference", ctypes.c_char * 16), ("serial", ctypes.c_char * 32)]


@lru_cache(maxsize=None)
def _library() -> ctypes.CDLL:
    lib = loaded(EPC)
    size, p = ctypes.c_size_t, ctypes.c_void_p
    out = [p, size, ctypes.POINTER(size), ctypes.POINTER(_Error)]
    for name, args, result in (
            ("velkor_epc_decode", [p, size, ctypes.POINTER(_Fields), ctypes.POINTER(_Error)],
             ctypes.c_int),
            ("velkor_epc_tag_uri", [ctypes.POINTER(_Fields), p, size, ctypes.POINTER(_Error)],
             ctypes.c_int),
            ("velkor_epc_id_uri", [ctypes.POINTER(_Fields), p, size, ctypes.POINTER(_Error)],
             ctypes.c_int),
            ("velkor_epc_gs1_string",
             [ctypes.POINTER(_Fields), p, size, ctypes.POINTER(_Error)], ctypes.c_int),
            ("velkor_epc_encode_tag_uri", [ctypes.c_char_p, *out], ctypes.c_int),
            ("velkor_epc_encode_id_uri",
             [ctypes.c_char_p, ctypes.c_uint, ctypes.c_uint, *out], ctypes.c_int),
            ("velkor_epc_encode_gs1",
             [ctypes.c_int, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_uint, ctypes.c_uint,
              ctypes.c_uint, *out], ctypes.c_int),
            ("velkor_epc_scheme_name", [ctypes.c_int], ctypes.c_char_p)):
        function = getattr(lib, name)
        function.argtypes, function.restype = args, result
    return lib


def _raise(error: _Error) -> None:
    raise EpcError(error.message.decode(), error.status, error.field)


def _text(function: Callable[..., int], fields: _Fields, room: int) -> str:
    buffer = ctypes.create_string_buffer(room)
    error = _Error()
    if function(ctypes.byref(fields), buffer, room, ctypes.byref(error)) != 0:
        _raise(error)
    return buffer.value.decode()


@dataclass(frozen=True)
class Epc:
    """A decoded EPC: its hex, scheme ("sgtin-96"), fields and URIs."""

    hex: str
    scheme: str
    filter: int
    partition: int
    company_prefix: str
    reference: str
    serial: str
    tag_uri: str
    id_uri: str
    gs1: Optional[str]  # the GS1 element string; None for GID-96


def decode(epc: BytesLike) -> Epc:
    """Decodes EPC bank content, given as bytes or hex text.  Raises
    EpcError, TypeError for input that is neither."""
    try:
        data = data_bytes("epc", epc)
    except ValueError as refused:
        raise EpcError(str(refused), _BAD_CHARACTER, _FIELD_EPC) from None
    lib = _library()
    fields, error = _Fields(), _Error()
    if lib.velkor_epc_decode(data, len(data), ctypes.byref(fields), ctypes.byref(error)) != 0:
        _raise(error)
    gs1_buffer = ctypes.create_string_buffer(_GS1_MAX)
    gs1_error = _Error()
    status = lib.velkor_epc_gs1_string(ctypes.byref(fields), gs1_buffer, _GS1_MAX,
                                       ctypes.byref(gs1_error))
    if status not in (0, _NO_GS1_FORM):
        _raise(gs1_error)
    return Epc(
        hex=data.hex().upper(),
        scheme=lib.velkor_epc_scheme_name(fields.scheme).decode(),
        filter=fields.filter,
        partition=fields.partition,
        company_prefix=fields.company_prefix.decode(),
        reference=fields.reference.decode(),
        serial=fields.serial.decode("latin-1"),
        tag_uri=_text(lib.velkor_epc_tag_uri, fields, _URI_MAX),
        id_uri=_text(lib.velkor_epc_id_uri, fields, _URI_MAX),
        gs1=gs1_buffer.value.decode() if status == 0 else None,
    )


def _encoded(call: Callable[[ctypes.Array[ctypes.c_char], ctypes.c_size_t, _Error], int]) -> str:
    out = ctypes.create_string_buffer(_BYTES_MAX)
    length, error = ctypes.c_size_t(), _Error()
    if call(out, length, error) != 0:
        _raise(error)
    return out.raw[:length.value].hex().upper()


def encode(uri: str, filter: int = 0, bits: int = 0) -> str:
    """The EPC (hex) of a tag URI, or of a pure-identity URI with a filter and
    a size (bits 0: the smallest scheme that holds it)."""
    lib = _library()
    text = uri.encode()

    def call(out: ctypes.Array[ctypes.c_char], n: ctypes.c_size_t, e: _Error) -> int:
        if uri.startswith("urn:epc:tag:"):
            return int(lib.velkor_epc_encode_tag_uri(
                text, out, _BYTES_MAX, ctypes.byref(n), ctypes.byref(e)))
        return int(lib.velkor_epc_encode_id_uri(
            text, filter, bits, out, _BYTES_MAX, ctypes.byref(n), ctypes.byref(e)))
    return _encoded(call)


def encode_gs1(key: str, digits: str, prefix_length: int, serial: Optional[str] = None,
               filter: int = 0, bits: int = 0) -> str:
    """The EPC (hex) of a GS1 key ("gtin", "sscc", "gln", "grai", "giai",
    "gsrn", "gdti") whose company prefix has prefix_length digits; serial is
    the serial (GTIN, GRAI, GDTI) or the GLN's extension."""
    if key not in KEYS:
        raise EpcError(f"key: {key!r} is not one of {', '.join(KEYS)}", 1, 10)
    lib = _library()
    wanted = serial.encode() if serial is not None else None

    def call(out: ctypes.Array[ctypes.c_char], n: ctypes.c_size_t, e: _Error) -> int:
        return int(lib.velkor_epc_encode_gs1(
            KEYS[key], digits.encode(), wanted, prefix_length, filter, bits, out, _BYTES_MAX,
            ctypes.byref(n), ctypes.byref(e)))
    return _encoded(call)
