// Multi-frame replies at the 6000 bytes a call keeps, through the two
// commands that list runs of frames: a reply that fills the 6000 bytes is
// listed whole; one byte more fails and writes no list.
#include <gtest/gtest.h>

#include "tests/support/link_fixture.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

constexpr int kUntouched = 0x5A5A5A5A;

struct Listed {
  int rc = -1;
  Bytes list = Bytes(6000, 0xEE);
  int total = kUntouched;
  int count = kUntouched;
};

struct CapCase {
  const char *name;
  std::uint8_t command;
  Bytes ahead;  // frame bytes between the status and the tag data
  void (*run)(Listed &, VelkorHandle);
  int count_on_failure;
};

class ReplyCap : public LinkTest,
                 public ::testing::WithParamInterface<std::tuple<CapCase, std::size_t>> {
 protected:
  const CapCase &cc() const { return std::get<0>(GetParam()); }
  // A frame of `size` bytes in all, one tag, tag data filled with `fill`.
  Bytes frame(std::uint8_t status, std::size_t size, std::uint8_t fill, Bytes &list) const {
    Bytes data = cc().ahead;
    const std::size_t n = size - 6 - data.size();
    data.insert(data.end(), n, fill);
    list.insert(list.end(), n, fill);
    return reply_frame(0x00, cc().command, status, data);
  }
};

TEST_P(ReplyCap, AReplyFillingTheCapIsListedWholeAndOneByteMoreFails) {
  const std::size_t size = std::get<1>(GetParam());
  Bytes stream, expected;
  // 23 frames of the largest size, then a final one up to `size` bytes.
  for (std::uint8_t i = 0; i < 23; ++i)
    stream = concat({stream, frame(0x03, 256, static_cast<std::uint8_t>(0x40 + i), expected)});
  stream = concat({stream, frame(0x01, size - stream.size(), 0x7F, expected)});
  ASSERT_EQ(stream.size(), size);
  device.push_stream(stream);
  Listed got;
  cc().run(got, handle);
  if (size <= 6000) {
    EXPECT_EQ(got.rc, 0x01);
    EXPECT_EQ(got.count, 24);
    ASSERT_EQ(got.total, static_cast<int>(expected.size()));
    EXPECT_EQ(Bytes(got.list.begin(), got.list.begin() + got.total), expected);
  } else {
    EXPECT_EQ(got.rc, STATUS_COMM_ERROR);
    EXPECT_EQ(got.count, cc().count_on_failure);
    EXPECT_EQ(got.total, kUntouched);
    EXPECT_EQ(got.list[0], 0xEE);
  }
}

const CapCase kCaps[] = {
    {"Inventory_G2", 0x01, {0x00, 0x01},
     [](Listed &l, VelkorHandle h) {
       unsigned char address = 0x00, mask_addr[2] = {}, mask[1] = {}, frame4 = 0;
       l.rc = Inventory_G2(&address, 0, 0, 0, mask_addr, 0, mask, 0, 0, 0, 0, 0, 0, 0, 0,
                           l.list.data(), &frame4, &l.total, &l.count, h);
     },
     0},
    {"ReadBuffer_G2", 0x72, {0x01},
     [](Listed &l, VelkorHandle h) {
       unsigned char address = 0x00;
       l.rc = ReadBuffer_G2(&address, &l.total, &l.count, l.list.data(), h);
     },
     kUntouched},
};

INSTANTIATE_TEST_SUITE_P(Commands, ReplyCap,
                         ::testing::Combine(::testing::ValuesIn(kCaps),
                                            ::testing::Values(std::size_t{6000},
                                                              std::size_t{6001})),
                         [](const auto &info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::to_string(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace velkor::test
