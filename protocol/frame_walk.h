// Walks a run of reply frames back to back (the multi-frame inventory and
// buffer replies) and gathers the tag data of the frames it accepts.
#ifndef VELKOR_PROTOCOL_FRAME_WALK_H
#define VELKOR_PROTOCOL_FRAME_WALK_H

#include <cstddef>
#include <cstdint>

namespace velkor {

/// Where a frame of the run keeps its fields.
struct FrameLayout {
  std::size_t count_at;               ///< the frame's tag-count byte
  std::size_t data_at;                ///< first tag-data byte; data ends before the CRC
  bool (*accepted)(std::uint8_t status);
};

struct WalkResult {
  std::size_t list_length = 0;   ///< tag-data bytes appended to the list
  int tag_count = 0;             ///< sum of the accepted frames' tag counts
  std::uint8_t last_status = 0;  ///< status of the last frame walked
  bool any_accepted = false;
  std::uint8_t frame4 = 0;       ///< byte 4 of the last accepted frame
};

/// Walks bytes[0..n) by length bytes, as the collectors do; a length byte
/// below 4 (padding) cannot begin a frame and sets no status.  The result's
/// status is that of the last real frame.  An accepted frame contributes its tag count and its
/// tag data (appended to list, which must hold n bytes); a frame too short
/// for its fields, or running past the bytes, contributes nothing.  Nothing
/// outside bytes[0..n) is read.
WalkResult walk_frames(const std::uint8_t *bytes, std::size_t n,
                       const FrameLayout &layout, std::uint8_t *list);

}  // namespace velkor

#endif  // VELKOR_PROTOCOL_FRAME_WALK_H
