#include "protocol/frame_walk.h"

#include <cstring>

namespace velkor {

WalkResult walk_frames(const std::uint8_t *bytes, std::size_t n,
                       const FrameLayout &layout, std::uint8_t *list) {
  WalkResult result;
  std::size_t at = 0;
  while (at < n) {
    const std::uint8_t *frame = bytes + at;
    const std::size_t left = n - at;
    const std::size_t length = frame[0];  // bytes after the length byte
    const std::size_t size = length + 1;
    // A length byte below 4 cannot begin a frame (padding after the last
    // one, say): it is stepped over as the collectors step over it, and
    // carries no status.
    if (length >= 4) result.last_status = left > 3 ? frame[3] : 0;
    // The data runs up to the two CRC bytes: frame bytes data_at..length-2.
    const bool whole = size <= left && length >= layout.data_at + 1;
    if (whole && layout.accepted(frame[3])) {
      result.any_accepted = true;
      result.frame4 = frame[4];
      result.tag_count += frame[layout.count_at];
      const std::size_t data = length - 1 - layout.data_at;
      std::memcpy(list + result.list_length, frame + layout.data_at, data);
      result.list_length += data;
    }
    if (size >= left) break;
    at += size;
  }
  return result;
}

}  // namespace velkor
