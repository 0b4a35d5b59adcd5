"""The application core's C API (velkor_app.h, libvelkor_app.so): its
structures and functions, typed, and its errors turned into the binding's
exceptions.  Whatever the core decides (how records and the information
block decode, which tag a write may change, how a watch paces, how
commissioning journals and resumes) the binding asks it; it decides
nothing of that itself."""

from __future__ import annotations

import ctypes
from functools import lru_cache
from typing import Any, Dict, List, NoReturn

from . import _lib
from ._api import HANDLE, library
from .errors import (
    NO_TAG,
    STATUS_COMM_ERROR,
    LinkError,
    NoTagError,
    SeveralTagsError,
    VelkorError,
    error_for,
)

OK = 0
E_READER, E_LINK, E_NO_TAG, E_SEVERAL_TAGS, E_BAD_INPUT = 1, 2, 3, 4, 5
E_FILE, E_BUSY, E_STOPPED, E_NOT_FOUND, E_CONFLICT = 6, 7, 8, 9, 10
ID_ROOM = 255
URI_ROOM = 192
MASK_ROOM = 32
JSON_ROOM = 8192

U8 = ctypes.c_ubyte


class Error(ctypes.Structure):
    _fields_ = [("kind", ctypes.c_int), ("status", ctypes.c_int), ("tag_error", ctypes.c_int),
                ("tags", ctypes.c_int), ("words", ctypes.c_char * 512),
                ("operation", ctypes.c_char * 64)]


class TagRecord(ctypes.Structure):
    _fields_ = [("round", ctypes.c_uint), ("unix_ms", ctypes.c_longlong),
                ("antenna", ctypes.c_int), ("epc_length", ctypes.c_int),
                ("epc", U8 * ID_ROOM), ("tid_length", ctypes.c_int), ("tid", U8 * ID_ROOM),
                ("uri", ctypes.c_char * URI_ROOM)]


class MaskRecord(ctypes.Structure):
    _fields_ = [("bank", ctypes.c_int), ("bit_address", ctypes.c_int), ("bits", ctypes.c_int),
                ("length", ctypes.c_int), ("bytes", U8 * MASK_ROOM)]


class TargetRecord(ctypes.Structure):
    _fields_ = [("epc_length", ctypes.c_int), ("epc", U8 * 62), ("mask", MaskRecord),
                ("password", U8 * 4)]


class RegionRecord(ctypes.Structure):
    _fields_ = [("region", ctypes.c_int), ("lowest", ctypes.c_int), ("highest", ctypes.c_int)]


class InfoRecord(ctypes.Structure):
    _fields_ = [("block", U8 * 12), ("serial", U8 * 4), ("firmware_major", ctypes.c_int),
                ("firmware_minor", ctypes.c_int), ("type", ctypes.c_int),
                ("gen2", ctypes.c_int), ("iso6b", ctypes.c_int), ("region", RegionRecord),
                ("packed", RegionRecord), ("power_dbm", ctypes.c_int),
                ("scan_time_ms", ctypes.c_int), ("antenna", ctypes.c_int),
                ("beep", ctypes.c_int), ("comm_type", ctypes.c_int)]


class ConfigRecord(ctypes.Structure):
    _fields_ = [("mode", ctypes.c_int), ("interval", ctypes.c_int),
                ("response", ctypes.c_int * 2), ("tag_type", ctypes.c_int),
                ("eas_sensitivity", ctypes.c_int), ("mask", MaskRecord),
                ("trigger_time", ctypes.c_int), ("tid", ctypes.c_int * 2),
                ("work_time", ctypes.c_int * 2), ("scan_time_ms", ctypes.c_int),
                ("antenna", ctypes.c_int)]


class ConfigChange(ctypes.Structure):
    _fields_ = [("mode", ctypes.c_int), ("interval", ctypes.c_int),
                ("response", ctypes.c_int * 2), ("tag_type", ctypes.c_int),
                ("eas_sensitivity", ctypes.c_int), ("mask", MaskRecord),
                ("trigger_time", ctypes.c_int), ("tid", ctypes.c_int * 2),
                ("work_time", ctypes.c_int * 2), ("scan_time", ctypes.c_int),
                ("antenna", ctypes.c_int), ("custom_function", ctypes.c_int)]


ON_EVENT = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_char_p, ctypes.c_void_p)
ON_STAGE = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_int, ctypes.c_uint, ctypes.c_void_p)
IDLE = ctypes.CFUNCTYPE(None, ctypes.c_int, ctypes.c_void_p)


class Callbacks(ctypes.Structure):
    _fields_ = [("on_event", ON_EVENT), ("on_stage", ON_STAGE), ("idle", IDLE),
                ("user", ctypes.c_void_p)]


class WatchOptions(ctypes.Structure):
    _fields_ = [("mask", MaskRecord), ("tid", ctypes.c_int), ("decode", ctypes.c_int),
                ("rounds", ctypes.c_uint), ("duration_ms", ctypes.c_longlong),
                ("interval_ms", ctypes.c_int), ("depart_after_ms", ctypes.c_longlong)]


class WatchSummary(ctypes.Structure):
    _fields_ = [("rounds", ctypes.c_uint), ("failed", ctypes.c_uint), ("stopped", ctypes.c_int),
                ("elapsed_ms", ctypes.c_longlong), ("unique", ctypes.c_int),
                ("reads", ctypes.c_int)]


class CommissionOptions(ctypes.Structure):
    _fields_ = [("gtin", ctypes.c_char_p), ("prefix_length", ctypes.c_int),
                ("serial_from", ctypes.c_ulonglong), ("count", ctypes.c_ulonglong),
                ("plan_file", ctypes.c_char_p), ("filter", ctypes.c_int),
                ("scheme", ctypes.c_char_p), ("journal", ctypes.c_char_p),
                ("access_password", ctypes.POINTER(U8)), ("lock", ctypes.POINTER(ctypes.c_int)),
                ("lock_count", ctypes.c_int), ("timeout_ms", ctypes.c_longlong),
                ("voids", ctypes.POINTER(ctypes.c_char_p)), ("void_count", ctypes.c_int)]


class CommissionSummary(ctypes.Structure):
    _fields_ = [("end", ctypes.c_int), ("done", ctypes.c_longlong),
                ("total", ctypes.c_longlong), ("this_run", ctypes.c_longlong),
                ("elapsed_ms", ctypes.c_longlong), ("interrupted", ctypes.c_int)]


P = ctypes.POINTER
VOIDP = ctypes.c_void_p
ERR = P(Error)
TGT = P(TargetRecord)
U8P = P(U8)
INT = ctypes.c_int

# Every function returns an int unless listed in _RESULTS.
SIGNATURES: Dict[str, List[Any]] = {
    "velkor_app_adopt": [HANDLE, U8],
    "velkor_app_address": [VOIDP],
    "velkor_app_close": [VOIDP, ERR],
    "velkor_app_inventory": [VOIDP, P(MaskRecord), INT, INT, P(TagRecord), INT, P(INT), ERR],
    "velkor_app_decode_records": [U8P, INT, INT, INT, P(TagRecord), INT, P(INT)],
    "velkor_app_settle": [VOIDP, TGT, ctypes.c_char_p, TGT, ERR],
    "velkor_app_read": [VOIDP, TGT, INT, INT, INT, U8P, INT, ERR],
    "velkor_app_write": [VOIDP, TGT, INT, INT, U8P, INT, TGT, ERR],
    "velkor_app_erase": [VOIDP, TGT, INT, INT, INT, TGT, ERR],
    "velkor_app_write_epc": [VOIDP, TGT, U8P, INT, TGT, ERR],
    "velkor_app_lock": [VOIDP, TGT, INT, INT, TGT, ERR],
    "velkor_app_kill": [VOIDP, TGT, TGT, ERR],
    "velkor_app_privacy": [VOIDP, TGT, TGT, ERR],
    "velkor_app_eas": [VOIDP, TGT, INT, TGT, ERR],
    "velkor_app_block_lock": [VOIDP, TGT, INT, TGT, ERR],
    "velkor_app_decode_info": [U8P, P(InfoRecord)],
    "velkor_app_read_info": [VOIDP, INT, P(InfoRecord), ERR],
    "velkor_app_read_config": [VOIDP, P(ConfigRecord), ERR],
    "velkor_app_config_change_init": [P(ConfigChange)],
    "velkor_app_set_config": [VOIDP, P(ConfigChange), ERR],
    "velkor_app_set_power": [VOIDP, INT, ERR],
    "velkor_app_set_region": [VOIDP, INT, INT, INT, ERR],
    "velkor_app_set_beep": [VOIDP, INT, ERR],
    "velkor_app_tag_json": [P(TagRecord), INT, ctypes.c_char_p, ctypes.c_size_t],
    "velkor_app_info_json": [P(InfoRecord), INT, ctypes.c_char_p, INT, ctypes.c_char_p,
                             ctypes.c_size_t],
    "velkor_app_config_json": [P(ConfigRecord), ctypes.c_char_p, ctypes.c_size_t],
    "velkor_app_stop_new": [],
    "velkor_app_stop_request": [VOIDP],
    "velkor_app_stop_free": [VOIDP],
    "velkor_app_watch": [VOIDP, P(WatchOptions), P(Callbacks), VOIDP, P(WatchSummary), ERR],
    "velkor_app_commission": [VOIDP, P(CommissionOptions), P(Callbacks), VOIDP,
                              P(CommissionSummary), ERR],
}
_RESULTS: Dict[str, Any] = {
    "velkor_app_adopt": VOIDP,
    "velkor_app_address": P(U8),
    "velkor_app_decode_info": None,
    "velkor_app_config_change_init": None,
    "velkor_app_stop_new": VOIDP,
    "velkor_app_stop_request": None,
    "velkor_app_stop_free": None,
}


@lru_cache(maxsize=None)
def core() -> ctypes.CDLL:
    """libvelkor_app, found as _lib describes, every function used typed.
    The reader library and the codec it needs are loaded first, from where
    _lib finds them, so that an installed prefix without a search path
    serves it."""
    library()
    _lib.loaded(_lib.EPC)
    dll = _lib.loaded(_lib.APP)
    for name, argtypes in SIGNATURES.items():
        function = getattr(dll, name)
        function.argtypes = argtypes
        function.restype = _RESULTS.get(name, INT)
    return dll


def exception(error: Error) -> Exception:
    """The binding's exception for what the core reported."""
    words = error.words.decode("utf-8", "replace")
    operation = error.operation.decode("utf-8", "replace")
    if error.kind == E_SEVERAL_TAGS:
        return SeveralTagsError(error.tags, operation, words)
    if error.kind == E_NO_TAG:
        return NoTagError(NO_TAG, operation, detail=None if words == "no tag in the field"
                          else words)
    if error.kind == E_READER:
        return error_for(error.status, operation, error.tag_error)
    if error.kind == E_LINK:
        return LinkError(error.status or STATUS_COMM_ERROR, operation)
    if error.kind == E_BAD_INPUT:
        return ValueError(f"{operation}: {words}")
    return CoreError(error.kind, operation, words)


class CoreError(VelkorError):
    """A failure of the core that is no reader status: a file (kind 6), a
    journal or reader held by another program (7), a stopped job (8), no
    such reader (9), a tag the journal contradicts (10).  kind is the
    core's, message its words."""

    def __init__(self, kind: int, operation: str, words: str) -> None:
        Exception.__init__(self, f"{operation}: {words}")
        self.kind = kind
        self.status = 0
        self.name = "CORE_ERROR"
        self.function = operation
        self.tag_error = None
        self.text = self.message = words


def check(result: int, error: Error) -> None:
    """Raises the exception for a result other than OK."""
    if result != OK:
        raise_for(error)


def raise_for(error: Error) -> NoReturn:
    raise exception(error)
