// One tag seen in one inventory round: the one description of a read that
// the watch, the tables, the documents and the publisher share.
#ifndef VELKOR_APP_TAGS_TAG_READ_H
#define VELKOR_APP_TAGS_TAG_READ_H

#include <optional>

#include "app/base/clock.h"
#include "app/base/hex.h"

namespace velkor::app {

struct TagRead {
  unsigned round = 0;  ///< the round's number, from 1
  WallClock::time_point time;
  Bytes epc;         ///< empty when the reader sent the TID alone
  int antenna = 0;   ///< byte 4 of the inventory reply
  std::optional<Bytes> tid;  ///< when the inventory asked for TIDs
};

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_TAG_READ_H
