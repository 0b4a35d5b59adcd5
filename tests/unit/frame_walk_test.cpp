// Walking runs of reply frames: the Gen2 inventory layout and the buffer layout.
#include <gtest/gtest.h>

#include "protocol/frame_walk.h"
#include "tests/support/scripted_device.h"

namespace velkor::test {
namespace {

bool gen2_accepted(std::uint8_t s) { return s >= 1 && s <= 4; }
bool buffer_accepted(std::uint8_t s) { return s == 1 || s == 3; }
const FrameLayout kGen2{5, 6, &gen2_accepted};
const FrameLayout kBuffer{4, 5, &buffer_accepted};

Bytes inv(std::uint8_t status, std::uint8_t byte4, std::uint8_t tags,
          std::size_t n, std::uint8_t fill) {
  // Filled in place: GCC 12 at -O3 misreads an insert after a two-byte
  // initializer as an out-of-bounds copy.
  Bytes d(2 + n, fill);
  d[0] = byte4;
  d[1] = tags;
  return reply_frame(0x00, 0x01, status, d);
}

struct Walked {
  WalkResult result;
  Bytes list;
};

Walked walk(const Bytes &bytes, const FrameLayout &layout) {
  Walked w;
  w.list.assign(bytes.size() + 8, 0xEE);
  w.result = walk_frames(bytes.data(), bytes.size(), layout, w.list.data());
  w.list.resize(w.result.list_length);
  return w;
}

TEST(FrameWalk, AcceptedFramesContributeInOrder) {
  const Bytes run = concat({inv(0x03, 0x11, 2, 24, 0xA1), inv(0x01, 0x22, 1, 12, 0xB2)});
  Walked w = walk(run, kGen2);
  EXPECT_EQ(w.result.list_length, 36u);
  EXPECT_EQ(w.result.tag_count, 3);
  EXPECT_EQ(w.result.last_status, 0x01);
  EXPECT_EQ(w.result.frame4, 0x22);
  EXPECT_EQ(w.list, concat({Bytes(24, 0xA1), Bytes(12, 0xB2)}));
}

TEST(FrameWalk, OtherStatusesAreSteppedOver) {
  for (std::uint8_t between : {0x00, 0xFA, 0xFC, 0x05}) {
    const Bytes run = concat({inv(0x03, 0x11, 2, 24, 0xA1), inv(between, 0x99, 9, 6, 0xCC),
                              inv(0x02, 0x33, 1, 12, 0xB2)});
    Walked w = walk(run, kGen2);
    EXPECT_EQ(w.result.tag_count, 3);
    EXPECT_EQ(w.list, concat({Bytes(24, 0xA1), Bytes(12, 0xB2)}));
    EXPECT_EQ(w.result.frame4, 0x33);
    EXPECT_EQ(w.result.last_status, 0x02);
  }
}

TEST(FrameWalk, ALoneFinalFrameOutsideTheAcceptedRangeGivesNothing) {
  Walked w = walk(reply_frame(0x00, 0x01, 0xFB), kGen2);
  EXPECT_FALSE(w.result.any_accepted);
  EXPECT_EQ(w.result.tag_count, 0);
  EXPECT_EQ(w.result.list_length, 0u);
  EXPECT_EQ(w.result.last_status, 0xFB);
}

TEST(FrameWalk, FramesTooShortForTheirFieldsContributeNothing) {
  // Length bytes 4..6 leave no room for the Gen2 tag count and data.
  for (std::size_t data = 0; data <= 1; ++data) {
    const Bytes tiny = reply_frame(0x00, 0x01, 0x03, Bytes(data, 0x55));
    const Bytes run = concat({tiny, inv(0x01, 0x22, 1, 4, 0xB2)});
    Walked w = walk(run, kGen2);
    EXPECT_EQ(w.result.tag_count, 1);
    EXPECT_EQ(w.list, Bytes(4, 0xB2));
  }
  // The buffer layout needs a length byte of at least 6.
  Walked w = walk(reply_frame(0x00, 0x72, 0x01), kBuffer);
  EXPECT_FALSE(w.result.any_accepted);
}

TEST(FrameWalk, AFrameRunningPastTheBytesContributesNothing) {
  Bytes run = inv(0x01, 0x22, 3, 12, 0xB2);
  run.resize(run.size() - 3);
  Walked w = walk(run, kGen2);
  EXPECT_FALSE(w.result.any_accepted);
  EXPECT_EQ(w.result.list_length, 0u);

  Walked three = walk(Bytes{0x30, 0x00, 0x01}, kGen2);
  EXPECT_EQ(three.result.last_status, 0) << "no status byte arrived";
}

TEST(FrameWalk, BufferLayoutHasItsDataOneByteEarlier) {
  auto buf = [](std::uint8_t status, std::uint8_t tags, std::size_t n, std::uint8_t fill) {
    Bytes d(1 + n, fill);
    d[0] = tags;
    return reply_frame(0x00, 0x72, status, d);
  };
  const Bytes run = concat({buf(0x03, 2, 20, 0xA1), buf(0x00, 7, 3, 0xCC), buf(0x01, 1, 10, 0xB2)});
  Walked w = walk(run, kBuffer);
  EXPECT_EQ(w.result.tag_count, 3);
  EXPECT_EQ(w.list, concat({Bytes(20, 0xA1), Bytes(10, 0xB2)}));
  EXPECT_EQ(w.result.last_status, 0x01);
}

}  // namespace
}  // namespace velkor::test
