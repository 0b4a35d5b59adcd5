// The tag-identifier list that the inventories hand back byte for byte: per
// tag, one byte of EPC length, then the EPC.
#ifndef VELKOR_APP_TAGS_TAG_LIST_H
#define VELKOR_APP_TAGS_TAG_LIST_H

#include <vector>

#include "app/base/hex.h"

namespace velkor::app {

/// Room the library may fill in an inventory's list.
constexpr int kMostListBytes = 6000;

/// The EPCs of a list of `length` bytes.  A record that runs past the end
/// ends the decode: what came before it is kept.
std::vector<Bytes> decode_tag_list(const unsigned char *list, int length);

/// A tag of an inventory that asked for TIDs.
struct TagIds {
  Bytes epc;  ///< empty when the reader sent the TID alone
  Bytes tid;
};

/// The tags of a list from an inventory with the TID group.  A reader that
/// follows each EPC record with a TID record sends twice as many records as
/// it counts tags; one that sends the TID in the EPC's place sends one per
/// tag, and those records are TIDs only.
std::vector<TagIds> decode_tid_list(const unsigned char *list, int length, int tag_count);

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_TAG_LIST_H
