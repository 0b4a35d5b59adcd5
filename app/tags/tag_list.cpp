#include "app/tags/tag_list.h"

namespace velkor::app {

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

std::vector<TagIds> decode_tid_list(const unsigned char *list, int length, int tag_count) {
  const std::vector<Bytes> records = decode_tag_list(list, length);
  std::vector<TagIds> tags;
  const bool pairs = tag_count > 0 && records.size() == 2 * static_cast<std::size_t>(tag_count);
  for (std::size_t i = 0; i < records.size(); i += pairs ? 2 : 1)
    tags.push_back(pairs ? TagIds{records[i], records[i + 1]} : TagIds{{}, records[i]});
  return tags;
}

}  // namespace velkor::app
