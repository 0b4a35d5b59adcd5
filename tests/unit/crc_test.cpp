#include <gtest/gtest.h>

#include <cstring>

#include "protocol/crc.h"
#include "tests/support/scripted_device.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

TEST(Crc, CheckValueOverAsciiDigits) {
  const char *digits = "123456789";
  EXPECT_EQ(crc16(reinterpret_cast<const std::uint8_t *>(digits), 9), 0x6F91);
}

TEST(Crc, EmptyInputIsThePreset) { EXPECT_EQ(crc16(nullptr, 0), 0xFFFF); }

// Whole command frames: the CRC over all but the last two bytes is stored in
// the last two bytes, low byte first.
class KnownFrame : public ::testing::TestWithParam<Bytes> {};

TEST_P(KnownFrame, GetCrcStoresTheTrailer) {
  Bytes frame = GetParam();
  Bytes buf(frame.begin(), frame.end() - 2);
  buf.resize(frame.size());
  GetCRC(buf.data(), static_cast<int>(frame.size() - 2));
  EXPECT_EQ(buf, frame);
}

TEST_P(KnownFrame, CheckCrcLeavesAZeroResidue) {
  Bytes buf = GetParam();
  const int len = static_cast<int>(buf.size());
  buf.resize(buf.size() + 2, 0xAA);
  EXPECT_EQ(CheckCRC(buf.data(), len), STATUS_OK);
  EXPECT_EQ(buf[len], 0);
  EXPECT_EQ(buf[len + 1], 0);
}

TEST_P(KnownFrame, AnyFlippedBitIsCaught) {
  const Bytes good = GetParam();
  for (std::size_t bit = 0; bit < good.size() * 8; ++bit) {
    Bytes buf = good;
    buf[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
    const int len = static_cast<int>(buf.size());
    buf.resize(buf.size() + 2);
    ASSERT_EQ(CheckCRC(buf.data(), len), STATUS_CRC_ERROR) << "bit " << bit;
    EXPECT_NE(buf[len] | buf[len + 1], 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, KnownFrame,
    ::testing::Values(Bytes{0x04, 0x00, 0x21, 0xD9, 0x6A},
                      Bytes{0x04, 0x00, 0x0F, 0xA5, 0xA2},
                      Bytes{0x04, 0x00, 0x84, 0x7E, 0x98},
                      Bytes{0x04, 0x00, 0x26, 0x66, 0x1E},
                      Bytes{0x05, 0x00, 0x2F, 0x1E, 0x72, 0x34},
                      Bytes{0x04, 0x00, 0x36, 0xE7, 0x0E},
                      Bytes{0x08, 0x00, 0x3B, 0x01, 0x20, 0x00, 0x00, 0xDE, 0x21},
                      Bytes{0x04, 0x00, 0x42, 0x44, 0x3B},
                      Bytes{0x06, 0x00, 0x01, 0x00, 0x00, 0xCC, 0x51}));

TEST(Crc, ZeroOrNegativeLengthStoresThePresetAtTheStart) {
  for (int len : {0, -1, -100}) {
    std::uint8_t buf[4] = {1, 2, 3, 4};
    GetCRC(buf, len);
    EXPECT_EQ(buf[0], 0xFF);
    EXPECT_EQ(buf[1], 0xFF);
    EXPECT_EQ(buf[2], 3) << "nothing past the two CRC bytes is touched";
  }
  std::uint8_t buf[2] = {0, 0};
  EXPECT_EQ(CheckCRC(buf, 0), STATUS_CRC_ERROR);
  EXPECT_EQ(buf[0], 0xFF);
  EXPECT_EQ(buf[1], 0xFF);
}

TEST(Crc, IncrementalUpdateMatchesOneShot) {
  const Bytes data = {0x11, 0x00, 0x02, 0x00, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (std::size_t split = 0; split <= data.size(); ++split) {
    const std::uint16_t first = crc16(data.data(), split);
    EXPECT_EQ(crc16_update(first, data.data() + split, data.size() - split),
              crc16(data.data(), data.size()));
  }
}

}  // namespace
}  // namespace velkor::test
