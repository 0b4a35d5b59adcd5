"""The one-tag rule on every tag-changing call: in a six-tag field without a
name, refused with every tag's memory as it was; named, exactly that tag
changed and returned; with one tag in the field, that one."""

from __future__ import annotations

from typing import Callable, Dict, List, Tuple

from emulated_case import WitnessedCase

import velkor
from velkor import Bank, Mask, Target

KILL_PASSWORD = 0x5EC7E7
# (name, the call on a target)
Change = Callable[[velkor.Reader, Target], object]
CHANGES: List[Tuple[str, Change]] = [
    ("write", lambda r, t: r.write(t, Bank.USER, 0, "C0FFEE01")),
    ("block write", lambda r, t: r.write(t, Bank.USER, 2, "0102", block=True)),
    ("erase", lambda r, t: r.erase(t, Bank.USER, 8, 1)),
    ("write_epc", lambda r, t: r.write_epc("1234ABCD", tag=t)),
    ("lock", lambda r, t: r.lock(t, "user", "permalock")),
    ("block_lock", lambda r, t: r.block_lock(t, 0)),
    ("kill", lambda r, t: r.kill(t, KILL_PASSWORD)),
    ("set_privacy", lambda r, t: r.set_privacy(t)),
    ("set_eas", lambda r, t: r.set_eas(t, True)),
    ("set_monza_qt", lambda r, t: r.set_monza_qt(t, 0x5A)),
]

# The changes an inventory and a read of the banks show.
VISIBLE = {"write", "block write", "write_epc", "kill", "set_privacy"}


def memory(reader: velkor.Reader) -> Dict[str, Tuple[bytes, ...]]:
    """Every tag's banks (and what answers at all), by its EPC at the start."""
    seen: Dict[str, Tuple[bytes, ...]] = {}
    for tag in reader.inventory():
        seen[tag.epc] = tuple(reader.read(tag, bank, 0, words)
                              for bank, words in ((Bank.RESERVED, 4), (Bank.EPC, 8),
                                                  (Bank.USER, 16)))
    return seen


class OneTagRule(WitnessedCase):
    def field(self, tags: int) -> velkor.Reader:
        reader = velkor.Reader.emulated(seed=11, gen2_tags=tags)
        self.addCleanup(reader.close)
        for tag in reader.inventory():  # each tag can be killed
            reader.write(tag, Bank.RESERVED, 0, KILL_PASSWORD.to_bytes(4, "big"))
        return reader

    def test_unnamed_in_a_crowd_is_refused_with_nothing_changed(self) -> None:
        reader = self.field(6)
        before = memory(reader)
        for name, change in CHANGES:
            with self.subTest(name), self.assertRaises(velkor.SeveralTagsError) as raised:
                change(reader, None)
            self.assertEqual(raised.exception.count, 6)
            self.assertEqual(str(raised.exception).split(": ", 1)[1],
                             "6 tags in the field; name the one to change")
        self.assertEqual(memory(reader), before)
        self.assertFalse(reader.eas_alarm())
        self.assertFalse(reader.check_privacy())

    def test_named_changes_that_tag_alone_and_returns_it(self) -> None:
        for name, change in CHANGES:
            reader = self.field(6)
            before = memory(reader)
            victim = list(before)[2]
            forms: List[Tuple[str, Target]] = [("EPC", victim),
                                               ("mask", Mask(bytes.fromhex(victim)[:6]))]
            for form, target in forms:
                with self.subTest(name=name, form=form):
                    if form == "mask" and name in ("kill", "set_privacy", "write_epc", "lock",
                                                   "block_lock"):
                        continue  # the first form already changed it for good
                    changed = change(reader, target)
                    self.assertEqual(changed, velkor.Tag(victim) if form == "EPC" else target)
                    after = memory(reader)
                    others = {epc: banks for epc, banks in before.items() if epc != victim}
                    self.assertEqual({e: b for e, b in after.items() if e in others}, others)
                    if name in VISIBLE:
                        self.assertNotEqual(after.get(victim), before[victim])
            reader.close()

    def test_one_tag_in_the_field_is_the_one_changed(self) -> None:
        for name, change in CHANGES:
            with self.subTest(name):
                reader = self.field(1)
                (only,) = reader.inventory()
                self.assertEqual(change(reader, None), velkor.Tag(only.epc))
                reader.close()

    def test_an_empty_field_has_no_tag_to_change(self) -> None:
        reader = velkor.Reader.emulated(seed=11, gen2_tags=0)
        self.addCleanup(reader.close)
        for name, change in CHANGES:
            with self.subTest(name), self.assertRaises(velkor.NoTagError) as raised:
                change(reader, None)
            self.assertEqual(raised.exception.text, "no tag in the field")
