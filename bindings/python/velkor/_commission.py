"""Commissioning on the core's engine (the one `velkor commission` runs):
each identity of a plan written to the tag placed on the reader, read back,
password set and locks applied, every step in the write-ahead journal
first; a rerun on the same journal resumes and never issues a serial twice;
a serial whose tag is lost is voided."""

from __future__ import annotations

import ctypes
import json
from dataclasses import dataclass
from enum import IntEnum
from typing import Any, Callable, Dict, List, Optional, Sequence, Union

from . import _app
from ._args import Password, in_range, password
from ._base import ReaderBase
from .tags import LockField, member

# What a run's end is called, by the core's number.
ENDS = ("complete", "no tag came", "stopped", "failed")


class Stage(IntEnum):
    """The points of one tag's work that on_stage sees."""

    BEFORE_WRITE = 0  # "writing" is in the journal, the tag untouched
    AFTER_WRITE = 1  # the EPC is on the tag, not read back
    BEFORE_OUTCOME = 2  # done, locks and all; the outcome not yet logged


@dataclass(frozen=True)
class Commissioned:
    """How a run ended: end is one of ENDS; done of total identities are
    used (this_run of them in this run); interrupted counts writes still cut
    short."""

    end: str
    done: int
    total: int
    this_run: int
    elapsed_ms: int
    interrupted: int


# An event's name and document (docs/commissioning.md lists them).
EventCallback = Callable[[str, Dict[str, Any]], None]
# A stage of the taken-th tag; True ends the run there at once, as a crash
# would (for tests of resuming).
StageCallback = Callable[[Stage, int], bool]


class CommissionCommands(ReaderBase):
    """Reader's commission()."""

    def commission(
        self,
        gtin: Optional[str] = None,
        prefix_length: int = 0,
        serial_from: int = 0,
        count: int = 0,
        plan_file: Optional[str] = None,
        filter: int = 0,
        scheme: Optional[str] = None,
        journal: Optional[str] = None,
        access_password: Optional[Password] = None,
        lock: Sequence[Union[LockField, int, str]] = (),
        timeout: float = 0.0,
        voids: Sequence[Union[int, str]] = (),
        on_event: Optional[EventCallback] = None,
        on_stage: Optional[StageCallback] = None,
    ) -> Commissioned:
        """Commissions the tags placed on the reader one at a time: the
        serials serial_from to serial_from + count - 1 of gtin (its company
        prefix prefix_length digits), or the identities of plan_file (tag
        URIs or hex EPCs), with filter and scheme ("sgtin-96", ...; None: the
        smallest that holds each).  journal is the log's path (None: in
        memory only); a rerun on it resumes.  access_password is set on each
        tag and the lock fields locked with it; timeout is how long to wait
        for each next tag in seconds (0: look once); voids are serials whose
        tags are lost, closed out first.  on_event gets each event, on_stage
        each stage; neither may use the reader.

        Returns how a complete run ended.  Raises ValueError (a plan or
        journal that cannot be used), NoTagError (no tag came in time),
        CoreError (kind 8: stopped, by on_stage; 6: the journal could not be
        written; 7: held by another program; 10: a tag contradicts the
        journal), or the reader's failure; the exception's summary holds the
        Commissioned of a run that started."""
        if (gtin is None) == (plan_file is None):
            raise ValueError("commission takes a gtin or a plan_file")
        options = _app.CommissionOptions()
        keep: List[Any] = []  # what the options point at, alive during the run

        def text(value: Optional[str]) -> Optional[bytes]:
            return None if value is None else value.encode()

        options.gtin = text(gtin)
        options.prefix_length = in_range("prefix length", prefix_length, 0, 12)
        options.serial_from = in_range("serial_from", serial_from, 0, (1 << 64) - 1)
        options.count = in_range("count", count, 0, (1 << 64) - 1)
        options.plan_file = text(plan_file)
        options.filter = in_range("filter", filter, 0, 7)
        options.scheme = text(scheme)
        options.journal = text(journal)
        if access_password is not None:
            secret = password(access_password, "access password")
            keep.append(secret)
            options.access_password = ctypes.cast(secret, ctypes.POINTER(ctypes.c_ubyte))
        fields = (ctypes.c_int * max(len(lock), 1))(
            *[int(member(LockField, f, "lock field")) for f in lock])
        keep.append(fields)
        options.lock = fields
        options.lock_count = len(lock)
        options.timeout_ms = round(in_range("timeout", round(timeout * 1000), 0, 1 << 62))
        void_texts = (ctypes.c_char_p * max(len(voids), 1))(*[str(v).encode() for v in voids])
        keep.append(void_texts)
        options.voids = void_texts
        options.void_count = len(voids)

        failures: List[BaseException] = []

        def event(name: bytes, document: bytes, _user: Any) -> None:
            if on_event is None or failures:
                return
            try:
                on_event(name.decode(), json.loads(document))
            except BaseException as failure:  # raised once the run is over
                failures.append(failure)

        def stage(at: int, taken: int, _user: Any) -> int:
            if failures:
                return 1
            try:
                return 1 if on_stage is not None and on_stage(Stage(at), taken) else 0
            except BaseException as failure:
                failures.append(failure)
                return 1

        callbacks = _app.Callbacks(on_event=_app.ON_EVENT(event),
                                   on_stage=_app.ON_STAGE(stage))
        summary = _app.CommissionSummary()
        summary.end = -1
        error = _app.Error()
        with self._lock:
            session = self._core_session("commission")
            try:
                result = _app.core().velkor_app_commission(
                    session, ctypes.byref(options), ctypes.byref(callbacks), None,
                    ctypes.byref(summary), ctypes.byref(error))
            finally:
                self._address_back()
        if failures:
            raise failures[0]
        outcome = None
        if 0 <= summary.end < len(ENDS):
            outcome = Commissioned(ENDS[summary.end], summary.done, summary.total,
                                   summary.this_run, summary.elapsed_ms, summary.interrupted)
        if result != _app.OK:
            raised = _app.exception(error)
            setattr(raised, "summary", outcome)
            raise raised
        assert outcome is not None
        return outcome
