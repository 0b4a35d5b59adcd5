#include "tools/commands/tag_list.h"

namespace velkor::tool {

std::vector<Bytes> decode_tag_list(const unsigned char *list, int length) {
  std::vector<Bytes> epcs;
  if (length <= 0) return epcs;
  const std::size_t end = static_cast<std::size_t>(length);
  std::size_t at = 0;
  while (at < end) {
    const std::size_t n = list[at];
    if (at + 1 + n > end) break;
    epcs.emplace_back(list + at + 1, list + at + 1 + n);
    at += 1 + n;
  }
  return epcs;
}

}  // namespace velkor::tool
