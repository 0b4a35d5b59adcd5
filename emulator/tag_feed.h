// A scripted encoding station: fresh tags placed on the reader one at a
// time.  A fed tag stays on the reader; the next one is placed beside it
// once the host has written the last one's EPC and looks for the next tag
// (runs an inventory), as an operator adds tags to a pile while a program
// commissions them.
#ifndef VELKOR_EMULATOR_TAG_FEED_H
#define VELKOR_EMULATOR_TAG_FEED_H

#include <cstddef>
#include <deque>
#include <optional>

#include "emulator/rng.h"
#include "emulator/tags.h"

namespace velkor::emu {

struct TagFeed {
  /// Fresh tags still to be placed, the next first.
  std::deque<Gen2Tag> waiting;
  /// Index in the population of the tag placed last, and its EPC then.
  std::optional<std::size_t> placed;
  Bytes placed_epc;

  /// Queues count fresh tags (96-bit EPCs, random 6-word TIDs, 256 bits of
  /// EPC memory so that longer EPCs fit).
  void add(Rng &rng, std::size_t count);
  /// Called as an inventory starts: places the next waiting tag when none
  /// was placed yet or the last one's EPC has changed since.
  void advance(Population &tags);
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_TAG_FEED_H
