// One tag seen in one inventory round: the one description of a read that
// the watch, the outputs and the publisher share.
#ifndef VELKOR_APP_TAGS_TAG_READ_H
#define VELKOR_APP_TAGS_TAG_READ_H

#include <chrono>
#include <optional>

#include "app/base/hex.h"

namespace velkor::app {

using WallClock = std::chrono::system_clock;

struct TagRead {
  unsigned round = 0;
  WallClock::time_point time;
  Bytes epc;
  int antenna = 0;  ///< byte 4 of the inventory reply
  std::optional<Bytes> tid;  ///< when the inventory asked for TIDs
};

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_TAG_READ_H
