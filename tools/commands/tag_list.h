// The tag-identifier list that the inventories hand back byte for byte: per
// tag, one byte of EPC length, then the EPC.
#ifndef VELKOR_TOOLS_TAG_LIST_H
#define VELKOR_TOOLS_TAG_LIST_H

#include <vector>

#include "tools/output/hex.h"

namespace velkor::tool {

/// Room the library may fill in an inventory's list.
constexpr int kMostListBytes = 6000;

/// The EPCs of a list of `length` bytes.  A record that runs past the end
/// ends the decode: what came before it is kept.
std::vector<Bytes> decode_tag_list(const unsigned char *list, int length);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TAG_LIST_H
