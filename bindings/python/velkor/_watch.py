"""Inventory round after round, as `velkor inventory --watch` runs them: a
reader that goes away is looked for again every retry_every seconds, and the
reads carry on once it is back."""

from __future__ import annotations

import logging
import time
from datetime import datetime, timezone
from typing import Iterator, List, Optional

from ._gen2 import Gen2Commands
from .errors import LinkError, VelkorError, describe
from .tags import Mask, Read, Tag

log = logging.getLogger("velkor")


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
        """Yields one Read (round, time in UTC, EPC, antenna) per tag per round,
        rounds interval seconds apart; endless unless rounds is given (an
        empty round counts and yields nothing).

        When the reader is lost (LinkError), it is looked for again every
        retry_every seconds for as long as it takes, with a warning on the
        "velkor" logger when it goes and when it is back; with reconnect
        False the LinkError is raised instead.  A round that fails otherwise
        (a reply that cannot be trusted, a refusal) is logged and skipped, as
        the tool does.  Raises ValueError for a negative interval or
        retry_every, LinkError as said, and KeyboardInterrupt stops it."""
        if interval < 0 or retry_every < 0:
            raise ValueError("interval and retry_every are seconds, not negative")
        done = 0
        while rounds is None or done < rounds:
            if done and interval > 0:
                time.sleep(interval)
            try:
                tags: List[Tag] = self.inventory(mask)
            except LinkError as error:
                if not reconnect or not self.can_reconnect:
                    raise
                self._wait_for_reader(error, done, retry_every)
                continue
            except VelkorError as error:
                log.warning("round %d failed: %s", done + 1, describe(error.status))
                continue
            done += 1
            now = datetime.now(timezone.utc)
            for tag in tags:
                yield Read(done, now, tag.epc, tag.antenna)

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
