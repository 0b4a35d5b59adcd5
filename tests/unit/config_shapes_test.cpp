// Configuration commands whose request or reply has a shape of its own: the
// raw self-test byte, the variable mask, the two system-parameter replies,
// the 148-byte adjustment block, and the keyboard-output checks.
#include <gtest/gtest.h>

#include "tests/support/link_fixture.h"
#include "tests/support/system_parameters.h"

namespace velkor::test {
namespace {

fake::Report report_of(const Bytes &head) {
  fake::Report r{};
  std::copy(head.begin(), head.end(), r.begin());
  return r;
}

// --- self-test mode -------------------------------------------------------

TEST_F(LinkTest, SelfTestFlagZeroSendsTheBareByte) {
  device.push_stream(reply_frame(0x03, 0x26, 0x00));
  unsigned char address = 0x42;
  EXPECT_EQ(InSelfTestMode(&address, 0, handle), STATUS_OK) << "echo 0x26 after the raw byte";
  ASSERT_FALSE(device.written.empty());
  EXPECT_EQ(device.written[0], report_of({0x02, 0x01, 0xA5}))
      << "one data report carrying one byte, no address";
  EXPECT_EQ(address, 0x03);
}

class SelfTestFlag : public LinkTest, public ::testing::WithParamInterface<int> {};

TEST_P(SelfTestFlag, AnyOtherFlagSendsCommand26) {
  device.push_stream(reply_frame(0x00, 0xA5, 0x00));
  unsigned char address = 0x00;
  EXPECT_EQ(InSelfTestMode(&address, GetParam(), handle), STATUS_OK) << "echo 0xA5 accepted";
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], (Bytes{0x04, 0x00, 0x26, 0x66, 0x1E}));
}

INSTANTIATE_TEST_SUITE_P(Flags, SelfTestFlag, ::testing::Values(1, 0x100, -1, 2));

TEST_F(LinkTest, SelfTestRefusesOtherEchoesAndWritesTheAddressOnAnyStatus) {
  unsigned char address = 0x00;
  device.push_stream(reply_frame(0x05, 0x27, 0x00));
  EXPECT_EQ(InSelfTestMode(&address, 0, handle), STATUS_COMMAND_MISMATCH);
  EXPECT_EQ(address, 0x00);
  device.push_stream(reply_frame(0x05, 0xA5, 0xF0));
  EXPECT_EQ(InSelfTestMode(&address, 0, handle), 0xF0);
  EXPECT_EQ(address, 0x05);
}

// --- selection mask -------------------------------------------------------

struct MaskSize {
  unsigned char bits;
  std::size_t mask_bytes;
};

class MaskFrame : public LinkTest, public ::testing::WithParamInterface<MaskSize> {};

TEST_P(MaskFrame, CarriesCeilingOfBitsOverEightBytes) {
  device.push_stream(reply_frame(0x00, 0x3B, 0x00));
  unsigned char address = 0x00, mask_address[2] = {0x20, 0x00};
  Bytes mask(40);
  for (std::size_t i = 0; i < mask.size(); ++i) mask[i] = static_cast<std::uint8_t>(0xA0 + i);
  EXPECT_EQ(SetMask(&address, 0x01, mask_address, GetParam().bits, mask.data(), handle),
            STATUS_OK);
  const std::size_t n = GetParam().mask_bytes;
  Bytes expected = {static_cast<std::uint8_t>(n + 8), 0x00, 0x3B, 0x01, 0x20, 0x00,
                    GetParam().bits};
  expected.insert(expected.end(), mask.begin(), mask.begin() + static_cast<long>(n));
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], with_crc(expected));
  EXPECT_EQ(frames()[0].size(), n + 9);
}

INSTANTIATE_TEST_SUITE_P(Lengths, MaskFrame,
                         ::testing::Values(MaskSize{0, 0}, MaskSize{1, 1}, MaskSize{8, 1},
                                           MaskSize{9, 2}, MaskSize{96, 12},
                                           MaskSize{255, 32}));

// --- system parameters ----------------------------------------------------

Bytes counting(std::size_t n) {
  Bytes d(n);
  for (std::size_t i = 0; i < n; ++i) d[i] = static_cast<std::uint8_t>(i + 1);
  return d;
}

TEST_F(LinkTest, ShortSystemParameterReplyZeroesTwelveAndLeavesThirteenAndFourteen) {
  const Bytes reply = reply_frame(0x00, 0x36, 0x00, counting(42));
  ASSERT_EQ(reply[0], 0x2F);
  device.push_stream(reply);
  unsigned char address = 0x00;
  SystemParameters p;
  EXPECT_EQ(p.get(&address, handle), STATUS_OK);
  EXPECT_EQ(Bytes(p.b, p.b + 42), counting(42));
  EXPECT_EQ(p.b[42], 0x00);
  EXPECT_EQ(p.b[43], 0xEE);
  EXPECT_EQ(p.b[44], 0xEE);
}

TEST_F(LinkTest, AnyOtherSystemParameterLengthCopiesAllThree) {
  // A 43-byte reply is neither length: parameters 13 and 14, which it does
  // not carry, read as zero (not as its CRC).
  const Bytes reply = reply_frame(0x00, 0x36, 0x00, counting(43));
  device.push_stream(reply);
  unsigned char address = 0x00;
  SystemParameters p;
  EXPECT_EQ(p.get(&address, handle), STATUS_OK);
  EXPECT_EQ(p.b[42], 43);
  EXPECT_EQ(p.b[43], 0x00);
  EXPECT_EQ(p.b[44], 0x00);
}

// --- adjustment block -----------------------------------------------------

TEST_F(LinkTest, AdjustmentBlockIsCopiedWholeWhateverTheReplyLength) {
  const Bytes reply = reply_frame(0x00, 0x65, 0x00, counting(10));
  device.push_stream(reply);
  unsigned char address = 0x00, block[150];
  std::fill(std::begin(block), std::end(block), 0xEE);
  EXPECT_EQ(GetAdjustPara(&address, block, handle), STATUS_OK);
  EXPECT_EQ(Bytes(block, block + 10), counting(10));
  EXPECT_EQ(Bytes(block + 10, block + 148), Bytes(138, 0x00)) << "zeros, not its CRC";
  EXPECT_EQ(block[148], 0xEE);
}

TEST_F(LinkTest, SolidifyReadsThirtyOneBytesIntoAThirtySixByteFrame) {
  device.push_stream(reply_frame(0x00, 0x2C, 0x00, {0x01}));
  unsigned char address = 0x00, list[32], result = 0;
  for (unsigned i = 0; i < 32; ++i) list[i] = static_cast<unsigned char>(0x80 + i);
  EXPECT_EQ(SolidifyDACandPowerlist(&address, list, &result, handle), STATUS_OK);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0].size(), 36u);
  EXPECT_EQ(frames()[0][0], 0x23);
  EXPECT_EQ(frames()[0][33], 0x9E) << "the last list byte, then the CRC";
  EXPECT_EQ(result, 0x01);
}

TEST_F(LinkTest, AdValueLandsLowByteFirstInASixteenBitOutput) {
  device.push_stream(reply_frame(0x00, 0x61, 0x00, {0x34, 0x12}));
  unsigned char address = 0x00;
  std::uint16_t value = 0;
  EXPECT_EQ(GetADValue(&address, 0x00, reinterpret_cast<unsigned char *>(&value), handle),
            STATUS_OK);
  EXPECT_EQ(value, 0x1234);
}

// --- keyboard output ------------------------------------------------------

TEST_F(LinkTest, ChangeToHidSendsOnlyTheControlReport) {
  unsigned char address = 0x00;
  EXPECT_EQ(ChangeToHID(&address, handle), STATUS_OK);
  ASSERT_EQ(device.written.size(), 1u);
  EXPECT_EQ(device.written[0], report_of({0x03, 0xA0}));
  EXPECT_EQ(device.reads, 0u);
}

TEST_F(LinkTest, ChangeToHidReportsAReportNotWritten) {
  unsigned char address = 0x00;
  device.refused_writes = {0};
  EXPECT_EQ(ChangeToHID(&address, handle), STATUS_COMM_ERROR);
  EXPECT_EQ(ChangeToHID(&address, VELKOR_INVALID_HANDLE), STATUS_COMM_ERROR);
  EXPECT_EQ(device.written.size(), 1u) << "the invalid handle reaches no device";
}

struct HidParameters {
  unsigned char p[6];
  bool accepted;
};

class HidWorkParameters : public LinkTest,
                          public ::testing::WithParamInterface<HidParameters> {};

TEST_P(HidWorkParameters, AreCheckedBeforeSending) {
  device.push_stream(reply_frame(0x00, 0xA1, 0x00));
  unsigned char address = 0x00;
  const unsigned char *p = GetParam().p;
  const int result = SetHidWorkPara(&address, p[0], p[1], p[2], p[3], p[4], p[5], handle);
  if (GetParam().accepted) {
    EXPECT_EQ(result, STATUS_OK);
    ASSERT_EQ(frames().size(), 1u);
    const Bytes frame = frames()[0];
    EXPECT_EQ(Bytes(frame.begin() + 3, frame.end() - 2), Bytes(p, p + 6));
  } else {
    EXPECT_EQ(result, STATUS_PARAMETER_ERROR);
    EXPECT_TRUE(device.written.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, HidWorkParameters,
    ::testing::Values(HidParameters{{1, 0, 15, 1, 0, 255}, true},
                      HidParameters{{4, 255, 0, 0, 1, 0}, true},
                      HidParameters{{0, 0, 0, 0, 0, 0}, false},
                      HidParameters{{5, 0, 0, 0, 0, 0}, false},
                      HidParameters{{1, 0, 16, 0, 0, 0}, false},
                      HidParameters{{1, 0, 0, 2, 0, 0}, false},
                      HidParameters{{1, 0, 0, 0, 2, 0}, false}));

TEST_F(LinkTest, KeyboardReadsWriteTheirOutputsOnAnyStatus) {
  device.push_stream(reply_frame(0x00, 0xA4, 0xFE, {0x01}));
  unsigned char address = 0x00, beep = 0xEE;
  EXPECT_EQ(GetHidBeepEn(&address, &beep, handle), 0xFE);
  EXPECT_EQ(beep, 0x01);
}

TEST_F(LinkTest, ShortKeyboardParameterReplyReadsZerosPastItsData) {
  const Bytes reply = reply_frame(0x00, 0xA2, 0x00, {0x03, 0x07});
  device.push_stream(reply);
  unsigned char address = 0x00, p[6];
  std::fill(std::begin(p), std::end(p), 0xEE);
  EXPECT_EQ(GetHidWorkPara(&address, p, p + 1, p + 2, p + 3, p + 4, p + 5, handle), STATUS_OK);
  EXPECT_EQ(Bytes(p, p + 6), (Bytes{0x03, 0x07, 0x00, 0x00, 0x00, 0x00}));
}

}  // namespace
}  // namespace velkor::test
