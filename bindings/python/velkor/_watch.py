"""Inventory round after round, on the core's watch (the one `velkor
inventory --watch` runs): a reader that goes away is looked for again every
retry_every seconds, and the reads carry on once it is back.

The core's watch reports through callbacks; it runs on a worker thread that
hands each round's reads to the iterator and waits, with the reader free,
until the caller asks for the next round, so that the loop body may use the
reader as before."""

from __future__ import annotations

import ctypes
import json
import logging
import queue
import threading
import time
from datetime import datetime, timezone
from typing import Any, Dict, Iterator, List, Optional, Union

from . import _app
from ._base import target_record
from ._gen2 import Gen2Commands
from .errors import STATUS_COMM_ERROR, LinkError, VelkorError, describe
from .tags import Mask, Read

log = logging.getLogger("velkor")

_TIME_LAYOUT = "%Y-%m-%dT%H:%M:%S.%fZ"  # the core's UTC time text


def _utc(text: str) -> datetime:
    return datetime.strptime(text, _TIME_LAYOUT).replace(tzinfo=timezone.utc)


class _Lost(Exception):
    """The core lost the reader after `rounds` rounds."""

    def __init__(self, rounds: int, status: int) -> None:
        super().__init__(rounds, status)
        self.rounds = rounds
        self.status = status


# What the worker hands the iterator: a round's reads, the reader lost, the
# job's end (None), or its failure.
_Item = Union[List[Read], _Lost, BaseException, None]


class _WatchJob:
    """One run of the core's watch on a worker thread, round by round."""

    def __init__(self, reader: "WatchCommands", options: _app.WatchOptions,
                 round_offset: int) -> None:
        self._reader = reader
        self._options = options
        self._offset = round_offset
        self._stop = _app.core().velkor_app_stop_new()
        if not self._stop:
            raise MemoryError("no memory for the watch's stop handle")
        self._items: "queue.Queue[_Item]" = queue.Queue()
        self._go_on = threading.Semaphore(0)
        self._reads: List[Read] = []
        self._cancelled = False
        # Kept referenced: the core calls them as long as the job runs.
        self._callbacks = _app.Callbacks(on_event=_app.ON_EVENT(self._on_event))
        self._thread = threading.Thread(target=self._run, name="velkor-watch", daemon=True)
        reader._watch_job = self  # close() ends it before the session goes
        self._thread.start()

    def _run(self) -> None:
        reader = self._reader
        error = _app.Error()
        summary = _app.WatchSummary()
        item: _Item = None
        with reader._lock:
            try:
                session = reader._core_session("watch")
                try:
                    result = _app.core().velkor_app_watch(
                        session, ctypes.byref(self._options), ctypes.byref(self._callbacks),
                        self._stop, ctypes.byref(summary), ctypes.byref(error))
                finally:
                    reader._address_back()
                if result != _app.OK:
                    item = _app.exception(error)
            except BaseException as failure:  # handed to the iterator's thread
                item = failure
        self._items.put(item)

    def _on_event(self, name: bytes, document: bytes, _user: Any) -> None:
        event: Dict[str, Any] = json.loads(document)
        kind = name.decode()
        if kind == "read":
            self._reads.append(Read(event["round"] + self._offset, _utc(event["time"]),
                                    event["epc"], event["antenna"]))
        elif kind == "round":
            self._hand_over(self._reads)
            self._reads = []
        elif kind == "round-failed":
            log.warning("round %d failed: %s", event["round"] + self._offset,
                        describe(event["error"].get("status") or 0))
        elif kind == "reader-lost":
            # The reader is the binding's to open again: this job ends here.
            _app.core().velkor_app_stop_request(self._stop)
            self._items.put(_Lost(event["rounds"] + self._offset,
                                  event["error"].get("status") or STATUS_COMM_ERROR))

    def _hand_over(self, reads: List[Read]) -> None:
        """Gives the round to the iterator and waits, with the reader free,
        until it asks for more (or the job is cancelled)."""
        self._items.put(reads)
        lock = self._reader._lock
        lock.release()
        try:
            self._go_on.acquire()
        finally:
            lock.acquire()
        if self._cancelled:
            _app.core().velkor_app_stop_request(self._stop)

    def next_item(self) -> _Item:
        return self._items.get()

    def more(self) -> None:
        self._go_on.release()

    def cancel(self) -> None:
        """Stops the job and waits for its thread (from the iterator's side,
        or from close()); a second call does nothing."""
        if self._stop is None:
            return
        if self._reader._watch_job is self:
            self._reader._watch_job = None
        if self._thread.is_alive():
            self._cancelled = True
            _app.core().velkor_app_stop_request(self._stop)
            self._go_on.release()
            self._thread.join()
        _app.core().velkor_app_stop_free(self._stop)
        self._stop = None


class WatchCommands(Gen2Commands):
    """Reader's watch()."""

    def watch(
        self,
        mask: Optional[Mask] = None,
        rounds: Optional[int] = None,
        interval: float = 0.0,
        reconnect: bool = True,
        retry_every: float = 1.0,
    ) -> Iterator[Read]:
        """Yields one Read (round, time in UTC to the millisecond, EPC,
        antenna) per tag per round, rounds interval seconds apart; endless
        unless rounds is given (an empty round counts and yields nothing).
        The rounds are the core's watch, paced as the tool paces them.

        When the reader is lost (LinkError), it is looked for again every
        retry_every seconds for as long as it takes, with a warning on the
        "velkor" logger when it goes and when it is back; with reconnect
        False the LinkError is raised instead.  A round that fails otherwise
        (a reply that cannot be trusted, a refusal) is logged and skipped, as
        the tool does.  Raises ValueError for a negative interval or
        retry_every, LinkError as said; leaving the loop (break, close(),
        KeyboardInterrupt) stops the watch."""
        if interval < 0 or retry_every < 0:
            raise ValueError("interval and retry_every are seconds, not negative")
        if rounds is not None and rounds < 0:
            raise ValueError(f"rounds is a count, not {rounds}")
        return self._watch(mask, rounds, interval, reconnect, retry_every)

    def _watch(self, mask: Optional[Mask], rounds: Optional[int], interval: float,
               reconnect: bool, retry_every: float) -> Iterator[Read]:
        done = 0
        while rounds is None or done < rounds:
            options = _app.WatchOptions()
            if mask is not None:
                options.mask = target_record(mask).mask
            options.rounds = 0 if rounds is None else rounds - done
            options.interval_ms = round(interval * 1000)
            job = _WatchJob(self, options, done)
            try:
                while True:
                    item = job.next_item()
                    if item is None:
                        return
                    if isinstance(item, _Lost):
                        done = item.rounds
                        if not reconnect or not self.can_reconnect:
                            raise LinkError(item.status, "inventory")
                        break
                    if isinstance(item, BaseException):
                        raise item
                    done = item[0].round if item else done + 1
                    yield from item
                    job.more()
            finally:
                job.cancel()
            self._wait_for_reader(LinkError(STATUS_COMM_ERROR, "inventory"), done, retry_every)

    def _wait_for_reader(self, error: VelkorError, after: int, retry_every: float) -> None:
        lost_at = time.monotonic()
        log.warning("reader lost after round %d: %s; looking for it every %g s",
                    after, describe(error.status), retry_every)
        while True:
            time.sleep(retry_every)
            try:
                self.reconnect()
            except LinkError:
                continue
            log.warning("reader back after %.1f s; carrying on", time.monotonic() - lost_at)
            return
