// Reader configuration commands: one row per function with its exact frame,
// its reply fields and its write-back variant, checked on success, on a
// reader error, on a reply to another command and on link failures.
#include <gtest/gtest.h>

#include <functional>

#include "protocol/exchange.h"
#include "tests/support/link_fixture.h"

namespace velkor::test {
namespace {

// Output room for every row; 0xEE marks bytes the call did not write.
struct Out {
  unsigned char b[160];
  Out() { std::fill(std::begin(b), std::end(b), 0xEE); }
};

using Call = std::function<int(unsigned char *, Out &, VelkorHandle)>;

struct ConfigCase {
  const char *name;
  Call call;
  Bytes frame;         // the whole frame to reader address 0x00
  std::uint8_t echo;   // the command the reply answers
  Variant variant;
  Bytes reply_data = {};
  Bytes outputs = {};  // leading output bytes after status 0
  bool echo_tested = true;
};

void PrintTo(const ConfigCase &c, std::ostream *os) { *os << c.name; }

constexpr std::uint8_t kReplyAddress = 0x09;

bool writes(Write w, bool success) {
  return w == Write::kAlways || (w == Write::kOnSuccess && success);
}

Bytes run(std::uint8_t first, std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(first + i);
  return b;
}

class ConfigCommand : public LinkTest, public ::testing::WithParamInterface<ConfigCase> {
 protected:
  int answer(std::uint8_t echo, std::uint8_t status) {
    device.push_stream(reply_frame(kReplyAddress, echo, status, GetParam().reply_data));
    return GetParam().call(&address, out, handle);
  }
  void expect_outputs_written() const {
    const Bytes &expected = GetParam().outputs;
    EXPECT_EQ(Bytes(out.b, out.b + expected.size()), expected);
    EXPECT_EQ(out.b[expected.size()], 0xEE) << "nothing past the outputs";
  }
  void expect_nothing_written() const {
    EXPECT_EQ(address, 0x00);
    EXPECT_EQ(Bytes(out.b, out.b + 4), Bytes(4, 0xEE));
  }

  unsigned char address = 0x00;
  Out out;
};

TEST_P(ConfigCommand, SendsExactlyItsFrame) {
  answer(GetParam().echo, 0x00);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], GetParam().frame);
}

TEST_P(ConfigCommand, StatusZeroWritesWhatItsVariantAllows) {
  EXPECT_EQ(answer(GetParam().echo, 0x00), STATUS_OK);
  EXPECT_EQ(address, writes(GetParam().variant.address, true) ? kReplyAddress : 0x00);
  expect_outputs_written();
}

TEST_P(ConfigCommand, ReaderErrorWritesWhatItsVariantAllows) {
  EXPECT_EQ(answer(GetParam().echo, 0xFB), 0xFB);
  EXPECT_EQ(address, writes(GetParam().variant.address, false) ? kReplyAddress : 0x00);
  if (writes(GetParam().variant.outputs, false))
    expect_outputs_written();
  else
    EXPECT_EQ(out.b[0], 0xEE);
}

TEST_P(ConfigCommand, ReplyToAnotherCommandIsRefusedUnlessNoEchoTest) {
  const int result = answer(GetParam().echo ^ 0x80, 0x00);
  if (GetParam().echo_tested) {
    EXPECT_EQ(result, STATUS_COMMAND_MISMATCH);
    expect_nothing_written();
  } else {
    EXPECT_EQ(result, STATUS_OK);
    expect_outputs_written();
  }
}

TEST_P(ConfigCommand, LinkFailuresWriteNothing) {
  EXPECT_EQ(GetParam().call(&address, out, VELKOR_INVALID_HANDLE), STATUS_INVALID_HANDLE);
  expect_nothing_written();
  EXPECT_EQ(GetParam().call(&address, out, handle), STATUS_COMM_ERROR) << "no reply at all";
  expect_nothing_written();
  device.push_stream(concat({{0x55}, reply_frame(kReplyAddress, GetParam().echo, 0,
                                                 GetParam().reply_data)}));
  EXPECT_EQ(GetParam().call(&address, out, handle), STATUS_COMM_ERROR) << "stray byte";
  expect_nothing_written();
}

// Inputs of the rows that send blocks.
const unsigned char kList31[31] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                   0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
                                   0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17,
                                   0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E};
unsigned char *in(const unsigned char *p) { return const_cast<unsigned char *>(p); }

Bytes frame_with(std::uint8_t command, const Bytes &data) {
  Bytes f = {static_cast<std::uint8_t>(data.size() + 4), 0x00, command};
  f.insert(f.end(), data.begin(), data.end());
  return with_crc(f);
}

INSTANTIATE_TEST_SUITE_P(
    Region, ConfigCommand,
    ::testing::Values(
        ConfigCase{"SetRegion",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetRegion(a, 0x31, 0x80, h); },
                   with_crc({0x06, 0x00, 0x22, 0x31, 0x80}), 0x22, kAddressAlways},
        ConfigCase{"SetRegionAndChannel",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetRegionAndChannel(a, 4, 3, 14, h);
                   },
                   with_crc({0x06, 0x00, 0x22, 0x4E, 0x03}), 0x22, kAddressAlways},
        ConfigCase{"SetRegionWithDefaultChannel",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetRegionWithDefaultChannel(a, 5, h);
                   },
                   with_crc({0x06, 0x00, 0x22, 0x2C, 0x9A}), 0x22, kAddressAlways}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    RfPower, ConfigCommand,
    ::testing::Values(
        ConfigCase{"SetRfPower",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetRfPower(a, 0x1E, h); },
                   {0x05, 0x00, 0x2F, 0x1E, 0x72, 0x34}, 0x2F, kOutputsOnSuccess},
        ConfigCase{"SetDAC",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetDAC(a, 0x99, h); },
                   frame_with(0x29, {0x99}), 0x29, kAddressAlways},
        ConfigCase{"GetDAC",
                   [](unsigned char *a, Out &o, VelkorHandle h) { return GetDAC(a, o.b, h); },
                   frame_with(0x2A, {}), 0x2A, kOutputsOnSuccess, {0x42, 0x43}, {0x42}},
        ConfigCase{"CheckPowerParameter",
                   [](unsigned char *a, Out &o, VelkorHandle h) {
                     return CheckPowerParameter(a, o.b, h);
                   },
                   frame_with(0x2B, {}), 0x2B, kOutputsOnSuccess, {0x01}, {0x01}},
        ConfigCase{"SolidifyDACandPowerlist",
                   [](unsigned char *a, Out &o, VelkorHandle h) {
                     return SolidifyDACandPowerlist(a, in(kList31), o.b, h);
                   },
                   frame_with(0x2C, Bytes(kList31, kList31 + 31)), 0x2C, kOutputsOnSuccess,
                   {0x07}, {0x07}},
        ConfigCase{"GetStartInformation",
                   [](unsigned char *a, Out &o, VelkorHandle h) {
                     unsigned char *b = o.b;
                     return GetStartInformation(a, b, b + 1, b + 2, b + 3, b + 4, b + 5, b + 6,
                                                b + 7, b + 8, h);
                   },
                   frame_with(0x2D, {}), 0x2D, kOutputsOnSuccess, run(0x20, 10), run(0x20, 9)},
        ConfigCase{"RfOutput",
                   [](unsigned char *a, Out &, VelkorHandle h) { return RfOutput(a, 0x01, h); },
                   frame_with(0x30, {0x01}), 0x30, kOutputsOnSuccess},
        ConfigCase{"DeleteRfOutput",
                   [](unsigned char *a, Out &o, VelkorHandle h) { return DeleteRfOutput(a, o.b, h); },
                   frame_with(0x32, {}), 0x32, kOutputsOnSuccess, {0x05}, {0x05}},
        ConfigCase{"InSelfTestMode",
                   [](unsigned char *a, Out &, VelkorHandle h) { return InSelfTestMode(a, 1, h); },
                   {0x04, 0x00, 0x26, 0x66, 0x1E}, 0x26, kAddressAlways},
        ConfigCase{"EnableTestFreq",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     std::uint32_t khz = 0x000E1A8C;  // 924300 kHz
                     return EnableTestFreq(a, reinterpret_cast<unsigned char *>(&khz), 0x01, h);
                   },
                   frame_with(0x60, {0x8C, 0x1A, 0x0E, 0x00, 0x01}), 0x60, kOutputsOnSuccess},
        ConfigCase{"GetADValue",
                   [](unsigned char *a, Out &o, VelkorHandle h) { return GetADValue(a, 0x02, o.b, h); },
                   frame_with(0x61, {0x02}), 0x61, kOutputsOnSuccess, {0x34, 0x12, 0x56},
                   {0x34, 0x12}},
        ConfigCase{"SetAValue",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     unsigned char first[4] = {1, 2, 3, 4}, second[4] = {5, 6, 7, 8};
                     return SetAValue(a, 0x02, first, second, h);
                   },
                   frame_with(0x62, {0x02, 1, 2, 3, 4, 5, 6, 7, 8}), 0x62, kOutputsOnSuccess},
        ConfigCase{"GetAdjustPara",
                   [](unsigned char *a, Out &o, VelkorHandle h) { return GetAdjustPara(a, o.b, h); },
                   frame_with(0x65, {}), 0x65, kOutputsOnSuccess, run(0x40, 148), run(0x40, 148)},
        ConfigCase{"SetCheckAnt",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetCheckAnt(a, 0x00, h); },
                   frame_with(0x66, {0x00}), 0x66, kOutputsOnSuccess},
        ConfigCase{"GetCheckPWR",
                   [](unsigned char *a, Out &o, VelkorHandle h) {
                     return GetCheckPWR(a, o.b, o.b + 2, h);
                   },
                   frame_with(0x67, {}), 0x67, kOutputsOnSuccess, {0x2C, 0x01, 0x96, 0x00, 0x77},
                   {0x2C, 0x01, 0x96, 0x00}},
        ConfigCase{"SetQS",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetQS(a, 0x04, 0x07, h); },
                   frame_with(0x81, {0x04, 0x07}), 0x81, kOutputsOnSuccess},
        ConfigCase{"GetQS",
                   [](unsigned char *a, Out &o, VelkorHandle h) { return GetQS(a, o.b, o.b + 1, h); },
                   frame_with(0x82, {}), 0x82, kOutputsOnSuccess, {0x04, 0x07, 0x09}, {0x04, 0x07}},
        ConfigCase{"SetDCOffset",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     std::uint16_t offset = 0x0201;
                     return SetDCOffset(a, reinterpret_cast<unsigned char *>(&offset), h);
                   },
                   frame_with(0x6C, {0x01, 0x02}), 0x6C, kOutputsOnSuccess},
        ConfigCase{"SetFlashRom",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetFlashRom(a, h); },
                   {0x04, 0x00, 0x84, 0x7E, 0x98}, 0x84, kStatusOnly}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    WorkMode, ConfigCommand,
    ::testing::Values(
        ConfigCase{"SetInventoryScanTime",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetInventoryScanTime(a, 0x0A, h);
                   },
                   frame_with(0x25, {0x0A}), 0x25, kAddressAlways},
        ConfigCase{"SetWorkMode",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetWorkMode(a, 0x01, h); },
                   frame_with(0x35, {0x01}), 0x35, kStatusOnly},
        ConfigCase{"GetSystemParameter",
                   [](unsigned char *a, Out &o, VelkorHandle h) {
                     unsigned char *b = o.b;
                     return GetSystemParameter(a, b, b + 1, b + 2, b + 3, b + 4, b + 5, b + 6,
                                               b + 7, b + 9, b + 10, b + 42, b + 43, b + 44, h);
                   },
                   {0x04, 0x00, 0x36, 0xE7, 0x0E}, 0x36, kNoAddress, run(0x50, 45),
                   run(0x50, 45)},
        ConfigCase{"SetEASSensitivity",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetEASSensitivity(a, 0x03, h);
                   },
                   frame_with(0x37, {0x03}), 0x37, kStatusOnly},
        ConfigCase{"SetTriggerTime",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetTriggerTime(a, 0x05, h); },
                   frame_with(0x49, {0x05}), 0x49, kStatusOnly},
        ConfigCase{"SetMask",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     std::uint16_t mask_address = 0x0020;
                     return SetMask(a, 0x01, reinterpret_cast<unsigned char *>(&mask_address),
                                    0, nullptr, h);
                   },
                   {0x08, 0x00, 0x3B, 0x01, 0x20, 0x00, 0x00, 0xDE, 0x21}, 0x3B, kStatusOnly},
        ConfigCase{"SetResponsePamametersofAuto_runningMode",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetResponsePamametersofAuto_runningMode(a, 0x02, 0x01, h);
                   },
                   frame_with(0x3C, {0x02, 0x01}), 0x3C, kStatusOnly},
        ConfigCase{"SetInventoryInterval",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetInventoryInterval(a, 0x14, h);
                   },
                   frame_with(0x3D, {0x14}), 0x3D, kStatusOnly},
        ConfigCase{"SelectTagType",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SelectTagType(a, 0x01, h); },
                   frame_with(0x3E, {0x01}), 0x3E, kStatusOnly},
        ConfigCase{"SetAntennaMultiplexing",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetAntennaMultiplexing(a, 0x0F, h);
                   },
                   frame_with(0x3F, {0x0F}), 0x3F, kStatusOnly},
        ConfigCase{"SetBeepNotification",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetBeepNotification(a, 0x00, h);
                   },
                   frame_with(0x40, {0x00}), 0x40, kStatusOnly},
        ConfigCase{"ClearTagBuffer",
                   [](unsigned char *a, Out &, VelkorHandle h) { return ClearTagBuffer(a, h); },
                   frame_with(0x44, {}), 0x44, kStatusOnly},
        ConfigCase{"SetTIDParameter",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetTIDParameter(a, 0x02, 0x06, h);
                   },
                   frame_with(0x4A, {0x02, 0x06}), 0x4A, kOutputsOnSuccess},
        ConfigCase{"SetTagCustomFunction",
                   [](unsigned char *a, Out &o, VelkorHandle h) {
                     return SetTagCustomFunction(a, o.b, h);  // sends the 0xEE it holds
                   },
                   frame_with(0x3A, {0xEE}), 0x3A, kOutputsOnSuccess, {0x02}, {0x02}},
        ConfigCase{"SetWorkTime",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetWorkTime(a, 0x34, 0x12, h); },
                   frame_with(0x60, {0x00, 0x34, 0x12}), 0x60, kOutputsOnSuccess},
        ConfigCase{"GetWorkTime",
                   [](unsigned char *a, Out &o, VelkorHandle h) {
                     return GetWorkTime(a, o.b, o.b + 1, h);
                   },
                   frame_with(0x61, {}), 0x61, kOutputsOnSuccess, {0x99, 0x34, 0x12},
                   {0x34, 0x12}}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    IndicatorsIo, ConfigCommand,
    ::testing::Values(
        ConfigCase{"BuzzerAndLEDControl",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return BuzzerAndLEDControl(a, 0x01, 0x02, 0x03, h);
                   },
                   frame_with(0x33, {0x01, 0x02, 0x03}), 0x33, kStatusOnly},
        ConfigCase{"SetReal_timeClock",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     unsigned char clock[6] = {24, 6, 30, 23, 59, 58};
                     return SetReal_timeClock(a, clock, h);
                   },
                   frame_with(0x41, {24, 6, 30, 23, 59, 58}), 0x41, kStatusOnly},
        ConfigCase{"GetTime",
                   [](unsigned char *a, Out &o, VelkorHandle h) { return GetTime(a, o.b, h); },
                   {0x04, 0x00, 0x42, 0x44, 0x3B}, 0x42, kNoAddress, run(0x18, 7), run(0x18, 6)},
        ConfigCase{"SetRelay",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetRelay(a, 0x01, h); },
                   frame_with(0x45, {0x01}), 0x45, kStatusOnly},
        ConfigCase{"GetRevDelay",
                   [](unsigned char *a, Out &o, VelkorHandle h) { return GetRevDelay(a, o.b, h); },
                   frame_with(0x31, {}), 0x31, kNoAddress, {0x0C}, {0x0C}},
        ConfigCase{"SetRevDelay",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetRevDelay(a, 0x0C, h); },
                   frame_with(0x27, {0x0C}), 0x27, kStatusOnly},
        ConfigCase{"SetGPIO",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetGPIO(a, 0x03, h); },
                   frame_with(0x46, {0x03}), 0x46, kStatusOnly},
        ConfigCase{"GetGPIOStatus",
                   [](unsigned char *a, Out &o, VelkorHandle h) { return GetGPIOStatus(a, o.b, h); },
                   frame_with(0x47, {}), 0x47, kNoAddress, {0x21}, {0x21}},
        ConfigCase{"SetNotificationPulseOutput",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetNotificationPulseOutput(a, 0x01, h);
                   },
                   frame_with(0x48, {0x01}), 0x48, kStatusOnly}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    KeyboardOutput, ConfigCommand,
    ::testing::Values(
        ConfigCase{"SetHidBeepEn",
                   [](unsigned char *a, Out &, VelkorHandle h) { return SetHidBeepEn(a, 0x01, h); },
                   frame_with(0xA3, {0x01}), 0xA3, kStatusOnly, {}, {}, false},
        ConfigCase{"GetHidBeepEn",
                   [](unsigned char *a, Out &o, VelkorHandle h) { return GetHidBeepEn(a, o.b, h); },
                   frame_with(0xA4, {}), 0xA4, kOutputsAlways, {0x01}, {0x01}, false},
        ConfigCase{"SetHidWorkPara",
                   [](unsigned char *a, Out &, VelkorHandle h) {
                     return SetHidWorkPara(a, 1, 0, 15, 1, 0, 255, h);
                   },
                   frame_with(0xA1, {0x01, 0x00, 0x0F, 0x01, 0x00, 0xFF}), 0xA1, kStatusOnly,
                   {}, {}, false},
        ConfigCase{"GetHidWorkPara",
                   [](unsigned char *a, Out &o, VelkorHandle h) {
                     unsigned char *b = o.b;
                     return GetHidWorkPara(a, b, b + 1, b + 2, b + 3, b + 4, b + 5, h);
                   },
                   frame_with(0xA2, {}), 0xA2, kOutputsAlways, run(0x61, 6), run(0x61, 6),
                   false}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkor::test
