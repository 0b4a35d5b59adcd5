"""The C functions of velkor.h, each with its exact argument and result types.

Byte arguments are c_ubyte (the library reads their low 8 bits), multi-byte
values and outputs are pointers to c_ubyte or c_int, and the device handle is
an int on Linux and a HANDLE on Windows.  library() returns the loaded
library with every function below typed.
"""

from __future__ import annotations

import ctypes
from functools import lru_cache
from typing import Any, Dict, List

from . import _lib

U8 = ctypes.c_ubyte
U8P = ctypes.POINTER(ctypes.c_ubyte)
INT = ctypes.c_int
INTP = ctypes.POINTER(ctypes.c_int)
VOIDP = ctypes.c_void_p
TEXTS = ctypes.POINTER(ctypes.c_char_p)  # array of channel texts
HANDLE: Any = ctypes.c_void_p if _lib.WINDOWS else ctypes.c_int
HANDLEP = ctypes.POINTER(HANDLE)

MAX_DEVICES = 100  # room GetDeviceList needs
MAX_CHANNELS = 51  # room GetChannelList needs, its null entry included
MAX_INVENTORY = 6000  # largest tag-identifier list
# Request data bytes 0 and 1 of every inventory (VELKOR_INVENTORY_PARAM0 and
# VELKOR_INVENTORY_PARAM1 in velkor.h): the one pair the tool and the docs use.
INVENTORY_PARAMS = (0x04, 0x00)

# The mask group of Inventory_G2 and InventoryBuffer_G2, then the TID and the
# trailing group, each with its flag.
_INVENTORY_GROUPS = [U8, U8P, U8, U8P, U8, U8, U8, U8, U8, U8, U8, U8]

# Every function returns an int status; these are the parameters.
SIGNATURES: Dict[str, List[Any]] = {
    # Discovery and handles
    "GetDeviceList": [HANDLEP, INTP],
    "CloseUSBPort": [HANDLE],
    # Identity and link settings
    "GetReaderInformation": [U8P] * 12 + [HANDLE],
    "SetAddress": [U8P, U8, HANDLE],
    "SetCommType": [U8P, U8, HANDLE],
    "SetSeriaNo": [U8P, U8P, HANDLE],
    "GetSeriaNo": [U8P, U8P, HANDLE],
    "GetModuleVersion": [U8P, U8P, HANDLE],
    "GetSDKVersion": [U8P],
    "SetBaudRate": [U8P, U8, HANDLE],
    "ChangeATMode": [U8P, U8, HANDLE],
    "TransparentCMD": [U8P, U8, HANDLE],
    # Gen2 inventory
    "Inventory_G2": [U8P, U8, U8] + _INVENTORY_GROUPS + [U8P, U8P, INTP, INTP, HANDLE],
    "Fast_EPC_Inventory_G2": [U8P, U8, U8, U8, U8, U8P, U8P, INTP, INTP, HANDLE],
    "SingleTagInventory_G2": [U8P, U8P, VOIDP, INTP, HANDLE],
    # Gen2 memory: address, identifier, then as named in velkor.h
    "ReadData_G2": [U8P, U8P, U8, U8, U8, U8, U8P, U8, U8P, U8, U8P, U8P, INTP, HANDLE],
    "ExtReadData_G2": [U8P, U8P, U8, U8, U8P, U8, U8P, U8, U8P, U8, U8P, U8P, INTP, HANDLE],
    "WriteData_G2": [U8P, U8P, U8, U8, U8, U8, U8P, U8P, U8, U8P, U8, U8P, INTP, HANDLE],
    "BlockWrite_G2": [U8P, U8P, U8, U8, U8, U8, U8P, U8P, U8, U8P, U8, U8P, INTP, HANDLE],
    "ExtWriteData_G2": [U8P, U8P, U8, U8, U8, U8P, U8P, U8P, U8, U8P, U8, U8P, INTP, HANDLE],
    "BlockErase_G2": [U8P, U8P, U8, U8, U8, U8, U8P, U8, U8P, U8, U8P, INTP, HANDLE],
    "WriteEPC_G2": [U8P, U8P, U8P, U8, INTP, HANDLE],
    # Gen2 kill and lock, privacy and EAS, Monza 4QT
    "KillTag_G2": [U8P, U8P, U8, U8P, U8, U8P, U8, U8P, INTP, HANDLE],
    "Lock_G2": [U8P, U8P, U8, U8, U8, U8P, U8, U8P, U8, U8P, INTP, HANDLE],
    "BlockLock_G2": [U8P, U8P, U8, U8P, U8, U8, U8P, U8, U8P, INTP, HANDLE],
    "SetPrivacyByEPC_G2": [U8P, U8P, U8, U8P, U8, U8P, U8, U8P, INTP, HANDLE],
    "SetPrivacyWithoutEPC_G2": [U8P, U8P, INTP, HANDLE],
    "ResetPrivacy_G2": [U8P, U8P, INTP, HANDLE],
    "CheckPrivacy_G2": [U8P, U8P, INTP, HANDLE],
    "EASConfigure_G2": [U8P, U8P, U8, U8P, U8, U8, U8P, U8, U8P, INTP, HANDLE],
    "EASAlarm_G2": [U8P, INTP, HANDLE],
    "GetMonza4QTWorkParamter_G2": [U8P, U8P, U8, U8P, U8, U8P, U8, U8P, U8P, INTP, HANDLE],
    "SetMonza4QTWorkParamter_G2": [U8P, U8P, U8, U8, U8P, U8, U8P, U8, U8P, INTP, HANDLE],
    # ISO 18000-6B
    "InventorySingle_6B": [U8P, U8P, U8P, HANDLE],
    "InventoryMultiple_6B": [U8P, U8, U8, U8, U8P, U8P, U8P, INTP, HANDLE],
    "ReadData_6B": [U8P, U8P, U8, U8, U8P, INTP, HANDLE],
    "WriteData_6B": [U8P, U8P, U8, U8P, U8, U8P, INTP, HANDLE],
    "Lock_6B": [U8P, U8P, U8, INTP, HANDLE],
    "CheckLock_6B": [U8P, U8P, U8, U8P, INTP, HANDLE],
    # Region and channel plan
    "SetRegion": [U8P, U8, U8, HANDLE],
    "SetRegionAndChannel": [U8P, INT, U8, U8, HANDLE],
    "SetRegionWithDefaultChannel": [U8P, INT, HANDLE],
    "GetChannelList": [INT, TEXTS],
    "FreeChannelList": [TEXTS],
    # RF power, calibration and self-test
    "SetRfPower": [U8P, U8, HANDLE],
    "SetDAC": [U8P, U8, HANDLE],
    "GetDAC": [U8P, U8P, HANDLE],
    "CheckPowerParameter": [U8P, U8P, HANDLE],
    "SolidifyDACandPowerlist": [U8P, U8P, U8P, HANDLE],
    "GetStartInformation": [U8P] * 10 + [HANDLE],
    "RfOutput": [U8P, U8, HANDLE],
    "DeleteRfOutput": [U8P, U8P, HANDLE],
    "InSelfTestMode": [U8P, INT, HANDLE],
    "EnableTestFreq": [U8P, U8P, U8, HANDLE],
    "GetADValue": [U8P, U8, U8P, HANDLE],
    "SetAValue": [U8P, U8, U8P, U8P, HANDLE],
    "GetAdjustPara": [U8P, U8P, HANDLE],
    "SetCheckAnt": [U8P, U8, HANDLE],
    "GetCheckPWR": [U8P, U8P, U8P, HANDLE],
    "SetQS": [U8P, U8, U8, HANDLE],
    "GetQS": [U8P, U8P, U8P, HANDLE],
    "SetDCOffset": [U8P, U8P, HANDLE],
    "SetFlashRom": [U8P, HANDLE],
    # Work mode and automatic-inventory parameters
    "SetInventoryScanTime": [U8P, U8, HANDLE],
    "SetWorkMode": [U8P, U8, HANDLE],
    "GetSystemParameter": [U8P] * 14 + [HANDLE],
    "SetEASSensitivity": [U8P, U8, HANDLE],
    "SetTriggerTime": [U8P, U8, HANDLE],
    "SetMask": [U8P, U8, U8P, U8, U8P, HANDLE],
    "SetResponsePamametersofAuto_runningMode": [U8P, U8, U8, HANDLE],
    "SetInventoryInterval": [U8P, U8, HANDLE],
    "SelectTagType": [U8P, U8, HANDLE],
    "SetAntennaMultiplexing": [U8P, U8, HANDLE],
    "SetBeepNotification": [U8P, U8, HANDLE],
    "ClearTagBuffer": [U8P, HANDLE],
    "SetTIDParameter": [U8P, U8, U8, HANDLE],
    "SetTagCustomFunction": [U8P, U8P, HANDLE],
    "SetWorkTime": [U8P, U8, U8, HANDLE],
    "GetWorkTime": [U8P, U8P, U8P, HANDLE],
    # Indicators, clock and I/O lines
    "BuzzerAndLEDControl": [U8P, U8, U8, U8, HANDLE],
    "SetReal_timeClock": [U8P, U8P, HANDLE],
    "GetTime": [U8P, U8P, HANDLE],
    "SetRelay": [U8P, U8, HANDLE],
    "GetRevDelay": [U8P, U8P, HANDLE],
    "SetRevDelay": [U8P, U8, HANDLE],
    "SetGPIO": [U8P, U8, HANDLE],
    "GetGPIOStatus": [U8P, U8P, HANDLE],
    "SetNotificationPulseOutput": [U8P, U8, HANDLE],
    # HID keyboard-output settings
    "ChangeToHID": [U8P, HANDLE],
    "SetHidBeepEn": [U8P, U8, HANDLE],
    "GetHidBeepEn": [U8P, U8P, HANDLE],
    "SetHidWorkPara": [U8P, U8, U8, U8, U8, U8, U8, HANDLE],
    "GetHidWorkPara": [U8P] * 7 + [HANDLE],
    # Reader-side tag buffer
    "InventoryBuffer_G2": [U8P, U8, U8] + _INVENTORY_GROUPS + [INTP, INTP, HANDLE],
    "ReadBuffer_G2": [U8P, INTP, INTP, U8P, HANDLE],
    "GetBufferCnt_G2": [U8P, INTP, HANDLE],
    "ClearBuffer_G2": [U8P, HANDLE],
    "SetSaveLen": [U8P, U8, HANDLE],
    "GetSaveLen": [U8P, U8P, HANDLE],
}


# The functions that return a constant text instead of a status.
TEXT_SIGNATURES: Dict[str, List[Any]] = {
    "GetReturnCodeText": [INT],
    "GetTagErrorText": [INT],
}


def bind(dll: ctypes.CDLL) -> ctypes.CDLL:
    """Types every function of SIGNATURES and TEXT_SIGNATURES on dll."""
    for name, argtypes in SIGNATURES.items():
        function = getattr(dll, name)
        function.argtypes = argtypes
        function.restype = INT
    for name, argtypes in TEXT_SIGNATURES.items():
        function = getattr(dll, name)
        function.argtypes = argtypes
        function.restype = ctypes.c_char_p
    return dll


@lru_cache(maxsize=None)
def library() -> ctypes.CDLL:
    """The Velkor library, found as _lib describes, every function typed."""
    return bind(_lib.loaded(_lib.VELKOR))
