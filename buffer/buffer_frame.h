// Where a frame of a buffer read keeps its fields: the tag count in byte 4
// and the tag data right after it (one byte earlier than in inventory
// frames).  Frames of status 0x01 (the last) and 0x03 (more follow) carry
// tags.
#ifndef VELKOR_BUFFER_BUFFER_FRAME_H
#define VELKOR_BUFFER_BUFFER_FRAME_H

#include <cstdint>

#include "protocol/frame_walk.h"

namespace velkor {

inline bool buffer_frame_accepted(std::uint8_t status) {
  return status == 0x01 || status == 0x03;
}

inline constexpr FrameLayout kBufferFrameLayout{4, 5, &buffer_frame_accepted};

}  // namespace velkor

#endif  // VELKOR_BUFFER_BUFFER_FRAME_H
