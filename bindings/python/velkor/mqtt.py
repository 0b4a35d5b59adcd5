"""Publish tag reads to an MQTT broker through velkor's publisher
(libvelkor_mqtt.so): the same topics, messages, outbox and spool as
``velkor inventory --watch --mqtt``.  See docs/mqtt.md.

    with Publisher("mqtt://broker:1883", reader="39E1D7F2", spool="/var/spool/velkor") as p:
        p.publish_read("E2801160...", antenna=1, round=1)
        p.end_round()
        p.service(0)

The library is found as the package's other libraries are: through
VELKOR_MQTT_LIBRARY (a file path), else beside this package, else in the
library directory of the prefix it is installed in, else on the system's
search path.
"""
import ctypes
import time
from typing import Callable, Dict, Optional

from ._lib import LibraryLookup, loaded

__all__ = ["Publisher", "MqttError"]


class MqttError(RuntimeError):
    """The publisher could not start, or was used wrongly."""


_NOTICE = ctypes.CFUNCTYPE(None, ctypes.c_char_p, ctypes.c_void_p)


MQTT = LibraryLookup(
    env="VELKOR_MQTT_LIBRARY",
    files=("libvelkor_mqtt.so", "libvelkor_mqtt.so.1"),
    name="velkor_mqtt",
)


def _load() -> ctypes.CDLL:
    lib = loaded(MQTT)
    p = ctypes.c_void_p
    for name, args, result in (
            ("velkor_mqtt_new", [], p),
            ("velkor_mqtt_set", [p, ctypes.c_char_p, ctypes.c_char_p], ctypes.c_int),
            ("velkor_mqtt_set_notice", [p, _NOTICE, p], None),
            ("velkor_mqtt_start", [p, ctypes.c_int, ctypes.c_char_p, ctypes.c_size_t],
             ctypes.c_int),
            ("velkor_mqtt_publish_read", [p, ctypes.c_char_p, ctypes.c_int, ctypes.c_uint,
                                          ctypes.c_longlong, ctypes.c_char_p], ctypes.c_int),
            ("velkor_mqtt_end_round", [p], ctypes.c_int),
            ("velkor_mqtt_set_reader_lost", [p, ctypes.c_int], ctypes.c_int),
            ("velkor_mqtt_service", [p, ctypes.c_int], ctypes.c_int),
            ("velkor_mqtt_waiting", [p], ctypes.c_size_t),
            ("velkor_mqtt_finish", [p, ctypes.c_int], ctypes.c_long),
            ("velkor_mqtt_free", [p], None)):
        f = getattr(lib, name)
        f.argtypes, f.restype = args, result
    return lib


class Publisher:
    """One publisher, used from one thread.  Settings are those of
    velkor_mqtt_set(): topic, qos, ca, cert, key, user, password_file,
    spool, limit, depart_after_ms, client_id.  notice receives one-line
    messages (broker lost and back, messages dropped)."""

    def __init__(self, url: str, reader: str, wait_ms: int = 5000,
                 notice: Optional[Callable[[str], None]] = None, **settings: object) -> None:
        self._lib = _load()
        self._p = self._lib.velkor_mqtt_new()
        if not self._p:
            raise MemoryError()
        all_settings: Dict[str, object] = {"url": url, "reader": reader, **settings}
        for name, value in all_settings.items():
            if self._lib.velkor_mqtt_set(self._p, name.encode(), str(value).encode()) != 0:
                self.close(0)
                raise MqttError(f"setting {name!r} is unknown or its value is not valid")
        # Kept referenced: the library calls it for as long as it lives.
        self._notice = None
        if notice is not None:
            tell = notice
            self._notice = _NOTICE(lambda text, _: tell(text.decode()))
            self._lib.velkor_mqtt_set_notice(self._p, self._notice, None)
        error = ctypes.create_string_buffer(512)
        if self._lib.velkor_mqtt_start(self._p, wait_ms, error, len(error)) != 0:
            self.close(0)
            raise MqttError(error.value.decode())

    def publish_read(self, epc: str, antenna: int, round: int,
                     unix_ms: Optional[int] = None, uri: Optional[str] = None) -> None:
        when = int(time.time() * 1000) if unix_ms is None else unix_ms
        self._check(self._lib.velkor_mqtt_publish_read(
            self._p, epc.upper().encode(), antenna, round, when, uri.encode() if uri else None))

    def end_round(self) -> None:
        self._check(self._lib.velkor_mqtt_end_round(self._p))

    def set_reader_lost(self, lost: bool) -> None:
        self._check(self._lib.velkor_mqtt_set_reader_lost(self._p, 1 if lost else 0))

    def service(self, timeout_ms: int = 0) -> None:
        self._check(self._lib.velkor_mqtt_service(self._p, timeout_ms))

    @property
    def waiting(self) -> int:
        return int(self._lib.velkor_mqtt_waiting(self._p)) if self._p else 0

    def close(self, limit_ms: int = 5000) -> int:
        """Sends what waits for up to limit_ms, says offline, disconnects;
        returns the messages still waiting (kept in the spool, if any)."""
        if not self._p:
            return 0
        left = int(self._lib.velkor_mqtt_finish(self._p, limit_ms))
        self._lib.velkor_mqtt_free(self._p)
        self._p = None
        return max(left, 0)

    def _check(self, rc: int) -> None:
        if rc != 0:
            raise MqttError("the publisher is closed")

    def __enter__(self) -> "Publisher":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()
