// Reader configuration against the emulated reader: what is set comes back
// through the information block, the parameter set and the getters, and
// values outside the reader's ranges are refused without changing anything.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/emulated_device.h"
#include "tests/support/scripted_device.h"
#include "tests/support/system_parameters.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

struct Info {
  unsigned char b[12];
  int get(unsigned char *address, VelkorHandle h) {
    return GetReaderInformation(address, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7, b + 8,
                                b + 9, b + 10, b + 11, h);
  }
};

TEST_F(EmulatorTest, InformationBlockReportsWhatWasSet) {
  ASSERT_EQ(SetRfPower(&address, 25, handle), STATUS_OK);
  ASSERT_EQ(SetRegionWithDefaultChannel(&address, 1, handle), STATUS_OK);
  ASSERT_EQ(SetInventoryScanTime(&address, 20, handle), STATUS_OK);
  ASSERT_EQ(SetAntennaMultiplexing(&address, 0x05, handle), STATUS_OK);
  ASSERT_EQ(SetBeepNotification(&address, 0, handle), STATUS_OK);
  Info info;
  ASSERT_EQ(info.get(&address, handle), STATUS_OK);
  // Data bytes 4 to 9: region bytes, power, scan time, antennas, beep.
  EXPECT_EQ(Bytes(info.b + 4, info.b + 10), (Bytes{0x13, 0x40, 25, 20, 0x05, 0x00}));
}

TEST_F(EmulatorTest, EveryRegionOfThePlanIsAcceptedWithAllItsChannels) {
  const Bytes expected[] = {{0x13, 0x40}, {0x31, 0x80}, {0x1F, 0xC0}, {0x4E, 0x00},
                            {0x2C, 0x9A}};
  for (int region = 1; region <= 5; ++region) {
    ASSERT_EQ(SetRegionWithDefaultChannel(&address, region, handle), STATUS_OK) << region;
    const Bytes got = {reader().settings.region_high, reader().settings.region_low};
    EXPECT_EQ(got, expected[region - 1]) << region;
  }
  EXPECT_EQ(SetRegionAndChannel(&address, 3, 4, 9, handle), STATUS_OK);
  EXPECT_EQ(reader().settings.region_low, 0xC4);
}

TEST_F(EmulatorTest, ScanTimeRepliesComeFromTheReadersAddress) {
  reader().identity.address = 0x07;
  address = 0xFF;  // broadcast
  EXPECT_EQ(SetInventoryScanTime(&address, 2, handle), 0xFF) << "below the reader's range";
  EXPECT_EQ(address, 0x07) << "address always, whatever the status";
}

TEST_F(EmulatorTest, SystemParametersReportWhatWasSet) {
  unsigned char mask_address[2] = {0x20, 0x00}, mask[2] = {0xAB, 0xC0};
  ASSERT_EQ(SetWorkMode(&address, 1, handle), STATUS_OK);
  ASSERT_EQ(SetInventoryInterval(&address, 20, handle), STATUS_OK);
  ASSERT_EQ(SetResponsePamametersofAuto_runningMode(&address, 2, 1, handle), STATUS_OK);
  ASSERT_EQ(SelectTagType(&address, 1, handle), STATUS_OK);
  ASSERT_EQ(SetEASSensitivity(&address, 5, handle), STATUS_OK);
  ASSERT_EQ(SetMask(&address, 2, mask_address, 12, mask, handle), STATUS_OK);
  ASSERT_EQ(SetTriggerTime(&address, 9, handle), STATUS_OK);
  ASSERT_EQ(SetTIDParameter(&address, 2, 4, handle), STATUS_OK);
  SystemParameters p;
  ASSERT_EQ(p.get(&address, handle), STATUS_OK);
  EXPECT_EQ(Bytes(p.b, p.b + 12),
            (Bytes{1, 20, 2, 1, 1, 5, 2, 0x20, 0x00, 12, 0xAB, 0xC0}));
  EXPECT_EQ(Bytes(p.b + 12, p.b + 42), Bytes(30, 0x00));
  EXPECT_EQ(Bytes(p.b + 42, p.b + 45), (Bytes{9, 2, 4}));

  reader().config.short_system_parameters = true;  // older firmware
  SystemParameters old;
  ASSERT_EQ(old.get(&address, handle), STATUS_OK);
  EXPECT_EQ(Bytes(old.b, old.b + 42), Bytes(p.b, p.b + 42));
  EXPECT_EQ(Bytes(old.b + 42, old.b + 45), (Bytes{0x00, 0xEE, 0xEE}));
}

TEST(EmulatorOptions, ShortSystemParametersAreAReaderOption) {
  EXPECT_TRUE(emu::Reader({.short_system_parameters = true}).config.short_system_parameters);
  EXPECT_FALSE(emu::Reader().config.short_system_parameters);
}

TEST_F(EmulatorTest, ClockKeepsTheBlockAsSet) {
  unsigned char clock[6] = {24, 2, 29, 13, 45, 30}, back[7];
  std::fill(std::begin(back), std::end(back), 0xEE);
  ASSERT_EQ(SetReal_timeClock(&address, clock, handle), STATUS_OK);
  ASSERT_EQ(GetTime(&address, back, handle), STATUS_OK);
  EXPECT_EQ(Bytes(back, back + 7), (Bytes{24, 2, 29, 13, 45, 30, 0xEE}));
}

TEST_F(EmulatorTest, KeyboardSettingsRoundTrip) {
  ASSERT_EQ(SetHidWorkPara(&address, 2, 0x41, 7, 1, 0, 0x0D, handle), STATUS_OK);
  ASSERT_EQ(SetHidBeepEn(&address, 0, handle), STATUS_OK);
  unsigned char p[6] = {}, beep = 0xEE;
  ASSERT_EQ(GetHidWorkPara(&address, p, p + 1, p + 2, p + 3, p + 4, p + 5, handle), STATUS_OK);
  ASSERT_EQ(GetHidBeepEn(&address, &beep, handle), STATUS_OK);
  EXPECT_EQ(Bytes(p, p + 6), (Bytes{2, 0x41, 7, 1, 0, 0x0D}));
  EXPECT_EQ(beep, 0);
  EXPECT_EQ(ChangeToHID(&address, handle), STATUS_OK);
  EXPECT_TRUE(reader().keyboard_mode);
}

TEST_F(EmulatorTest, CalibrationGettersReportWhatWasSet) {
  unsigned char dac = 0, qs[2] = {}, work[2] = {}, delay = 0, gpio = 0;
  ASSERT_EQ(SetDAC(&address, 0x55, handle), STATUS_OK);
  ASSERT_EQ(GetDAC(&address, &dac, handle), STATUS_OK);
  EXPECT_EQ(dac, 0x55);
  ASSERT_EQ(SetQS(&address, 3, 9, handle), STATUS_OK);
  ASSERT_EQ(GetQS(&address, qs, qs + 1, handle), STATUS_OK);
  EXPECT_EQ(Bytes(qs, qs + 2), (Bytes{3, 9}));
  ASSERT_EQ(SetWorkTime(&address, 0x34, 0x12, handle), STATUS_OK);
  ASSERT_EQ(GetWorkTime(&address, work, work + 1, handle), STATUS_OK);
  EXPECT_EQ(Bytes(work, work + 2), (Bytes{0x34, 0x12}));
  ASSERT_EQ(SetRevDelay(&address, 12, handle), STATUS_OK);
  ASSERT_EQ(GetRevDelay(&address, &delay, handle), STATUS_OK);
  EXPECT_EQ(delay, 12);
  reader().config.io.gpio_in = 0x01;
  ASSERT_EQ(SetGPIO(&address, 0x02, handle), STATUS_OK);
  ASSERT_EQ(GetGPIOStatus(&address, &gpio, handle), STATUS_OK);
  EXPECT_EQ(gpio, 0x12) << "inputs in bits 4-5, outputs in bits 0-1";
}

TEST_F(EmulatorTest, PowerReadingsFollowThePowerSet) {
  ASSERT_EQ(SetRfPower(&address, 20, handle), STATUS_OK);
  std::uint16_t forward = 0, reflected = 0, ad = 0;
  ASSERT_EQ(GetCheckPWR(&address, reinterpret_cast<unsigned char *>(&forward),
                        reinterpret_cast<unsigned char *>(&reflected), handle),
            STATUS_OK);
  EXPECT_EQ(forward, 200) << "0.1 dBm";
  EXPECT_EQ(reflected, 50);
  ASSERT_EQ(GetADValue(&address, 1, reinterpret_cast<unsigned char *>(&ad), handle), STATUS_OK);
  EXPECT_EQ(ad, reader().config.rf.ad[1]);
}

TEST_F(EmulatorTest, AdjustmentBlockGathersTheCalibrationValues) {
  unsigned char first[4] = {1, 2, 3, 4}, second[4] = {5, 6, 7, 8}, offset[2] = {0x10, 0xFF};
  unsigned char list[31], result = 0xEE;
  for (unsigned i = 0; i < 31; ++i) list[i] = static_cast<unsigned char>(100 + i);
  ASSERT_EQ(SetAValue(&address, 2, first, second, handle), STATUS_OK);
  ASSERT_EQ(SetDCOffset(&address, offset, handle), STATUS_OK);
  ASSERT_EQ(SetQS(&address, 6, 7, handle), STATUS_OK);
  ASSERT_EQ(SolidifyDACandPowerlist(&address, list, &result, handle), STATUS_OK);
  EXPECT_EQ(result, 0x01) << "a rising list is usable";
  unsigned char block[149];
  block[148] = 0xEE;
  ASSERT_EQ(GetAdjustPara(&address, block, handle), STATUS_OK);  // three reports
  EXPECT_EQ(Bytes(block, block + 13), (Bytes{2, 1, 2, 3, 4, 5, 6, 7, 8, 0x10, 0xFF, 6, 7}));
  EXPECT_EQ(Bytes(block + 13, block + 44), Bytes(list, list + 31));
  EXPECT_EQ(block[147], static_cast<unsigned char>(147 * 7)) << "factory bytes";
  EXPECT_EQ(block[148], 0xEE);
}

TEST_F(EmulatorTest, PowerListCheckFollowsTheSolidifiedList) {
  unsigned char result = 0xEE, list[31] = {};
  ASSERT_EQ(CheckPowerParameter(&address, &result, handle), STATUS_OK);
  EXPECT_EQ(result, 0x01);
  list[30] = 0xFF;
  list[0] = 0x10;  // falls after the first level
  ASSERT_EQ(SolidifyDACandPowerlist(&address, list, &result, handle), STATUS_OK);
  EXPECT_EQ(result, 0x00);
  ASSERT_EQ(CheckPowerParameter(&address, &result, handle), STATUS_OK);
  EXPECT_EQ(result, 0x00);
}

TEST_F(EmulatorTest, CarrierAndSelfTestStatesShowInTheStartInformation) {
  unsigned char result = 0xEE, s[9];
  ASSERT_EQ(RfOutput(&address, 1, handle), STATUS_OK);
  ASSERT_EQ(DeleteRfOutput(&address, &result, handle), STATUS_OK);
  EXPECT_EQ(result, 1) << "what the carrier was";
  ASSERT_EQ(DeleteRfOutput(&address, &result, handle), STATUS_OK);
  EXPECT_EQ(result, 0);

  ASSERT_EQ(SetWorkMode(&address, 2, handle), STATUS_OK);
  ASSERT_EQ(InSelfTestMode(&address, 1, handle), STATUS_OK);
  ASSERT_EQ(GetStartInformation(&address, s, s + 1, s + 2, s + 3, s + 4, s + 5, s + 6, s + 7,
                                s + 8, handle),
            STATUS_OK);
  const emu::Reader &r = reader();
  EXPECT_EQ(Bytes(s, s + 9),
            (Bytes{r.identity.firmware[0], r.identity.firmware[1], r.settings.region_high,
                   r.settings.region_low, r.settings.power, r.config.rf.dac, 2, 1,
                   r.config.rf.check_antenna}));
  ASSERT_EQ(InSelfTestMode(&address, 0, handle), STATUS_OK) << "the bare byte leaves it";
  EXPECT_FALSE(reader().config.rf.self_test);
}

TEST_F(EmulatorTest, TestFrequencyCustomFunctionAndFlashAreKept) {
  std::uint32_t khz = 924300;
  ASSERT_EQ(EnableTestFreq(&address, reinterpret_cast<unsigned char *>(&khz), 1, handle),
            STATUS_OK);
  EXPECT_EQ(reader().config.rf.test_frequency, (std::array<std::uint8_t, 4>{0x8C, 0x1A, 0x0E, 0}));
  EXPECT_EQ(reader().config.rf.test_frequency_on, 1);
  unsigned char function = 2;
  ASSERT_EQ(SetTagCustomFunction(&address, &function, handle), STATUS_OK);
  EXPECT_EQ(function, 2);
  EXPECT_EQ(reader().config.work.custom_function, 2);
  ASSERT_EQ(SetFlashRom(&address, handle), STATUS_OK);
  EXPECT_EQ(reader().config.rf.flash_writes, 1u);
  EXPECT_EQ(ClearTagBuffer(&address, handle), STATUS_OK);
}

// Values outside the reader's ranges: status 0xFF, and nothing changes.
struct Refusal {
  const char *name;
  std::function<int(unsigned char *, VelkorHandle)> call;
};

void PrintTo(const Refusal &r, std::ostream *os) { *os << r.name; }

class EmulatorRefusal : public EmulatorTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(EmulatorRefusal, LeavesTheReaderAsItWas) {
  const emu::Settings settings = reader().settings;
  const emu::Configuration config = reader().config;
  EXPECT_EQ(GetParam().call(&address, handle), 0xFF);
  EXPECT_TRUE(reader().settings == settings);
  EXPECT_TRUE(reader().config == config);
}

unsigned char *bytes(std::initializer_list<unsigned char> b) {
  static unsigned char room[8];
  std::copy(b.begin(), b.end(), room);
  return room;
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, EmulatorRefusal,
    ::testing::Values(
        Refusal{"RegionZero", [](unsigned char *a, VelkorHandle h) { return SetRegion(a, 0x00, 0x05, h); }},
        Refusal{"RegionCodeFive",  // region 21 keeps the code 5, which the reader does not know
                [](unsigned char *a, VelkorHandle h) { return SetRegionAndChannel(a, 21, 0, 3, h); }},
        Refusal{"ChannelPastThePlan",
                [](unsigned char *a, VelkorHandle h) { return SetRegionAndChannel(a, 1, 0, 20, h); }},
        Refusal{"LowestAboveHighest",
                [](unsigned char *a, VelkorHandle h) { return SetRegionAndChannel(a, 2, 9, 8, h); }},
        Refusal{"Power", [](unsigned char *a, VelkorHandle h) { return SetRfPower(a, 34, h); }},
        Refusal{"RfOutput", [](unsigned char *a, VelkorHandle h) { return RfOutput(a, 2, h); }},
        Refusal{"AValuePair",
                [](unsigned char *a, VelkorHandle h) {
                  return SetAValue(a, 4, bytes({1, 2, 3, 4}), bytes({1, 2, 3, 4}), h);
                }},
        Refusal{"TestFrequency",
                [](unsigned char *a, VelkorHandle h) {
                  return EnableTestFreq(a, bytes({0x00, 0x35, 0x0C, 0x00}), 1, h);  // 800 MHz
                }},
        Refusal{"AdRequest",
                [](unsigned char *a, VelkorHandle h) {
                  unsigned char v[2];
                  return GetADValue(a, 4, v, h);
                }},
        Refusal{"CheckAnt", [](unsigned char *a, VelkorHandle h) { return SetCheckAnt(a, 2, h); }},
        Refusal{"QS", [](unsigned char *a, VelkorHandle h) { return SetQS(a, 1, 16, h); }},
        Refusal{"ScanTime",
                [](unsigned char *a, VelkorHandle h) { return SetInventoryScanTime(a, 2, h); }},
        Refusal{"WorkMode", [](unsigned char *a, VelkorHandle h) { return SetWorkMode(a, 4, h); }},
        Refusal{"EasSensitivity",
                [](unsigned char *a, VelkorHandle h) { return SetEASSensitivity(a, 8, h); }},
        Refusal{"ResponseParameters",
                [](unsigned char *a, VelkorHandle h) {
                  return SetResponsePamametersofAuto_runningMode(a, 3, 0, h);
                }},
        Refusal{"TagType", [](unsigned char *a, VelkorHandle h) { return SelectTagType(a, 2, h); }},
        Refusal{"NoAntenna",
                [](unsigned char *a, VelkorHandle h) { return SetAntennaMultiplexing(a, 0, h); }},
        Refusal{"Beep", [](unsigned char *a, VelkorHandle h) { return SetBeepNotification(a, 2, h); }},
        Refusal{"MaskBank",
                [](unsigned char *a, VelkorHandle h) {
                  return SetMask(a, 4, bytes({0, 0}), 8, bytes({0xFF}), h);
                }},
        Refusal{"CustomFunction",
                [](unsigned char *a, VelkorHandle h) {
                  unsigned char f = 4;
                  return SetTagCustomFunction(a, &f, h);
                }},
        Refusal{"Relay", [](unsigned char *a, VelkorHandle h) { return SetRelay(a, 2, h); }},
        Refusal{"Gpio", [](unsigned char *a, VelkorHandle h) { return SetGPIO(a, 4, h); }},
        Refusal{"PulseOutput",
                [](unsigned char *a, VelkorHandle h) { return SetNotificationPulseOutput(a, 2, h); }},
        Refusal{"ClockNoLeapDay",
                [](unsigned char *a, VelkorHandle h) {
                  return SetReal_timeClock(a, bytes({23, 2, 29, 0, 0, 0}), h);
                }},
        Refusal{"ClockMonth",
                [](unsigned char *a, VelkorHandle h) {
                  return SetReal_timeClock(a, bytes({24, 13, 1, 0, 0, 0}), h);
                }},
        Refusal{"ClockHour",
                [](unsigned char *a, VelkorHandle h) {
                  return SetReal_timeClock(a, bytes({24, 4, 30, 24, 0, 0}), h);
                }},
        Refusal{"HidBeep", [](unsigned char *a, VelkorHandle h) { return SetHidBeepEn(a, 2, h); }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(EmulatorTest, WrongMaskLengthIsALengthError) {
  // Bits say two mask bytes, the frame carries one.
  Bytes frame = with_crc({0x09, 0x00, 0x3B, 0x01, 0x00, 0x00, 0x09, 0xFF});
  SendDataToPort(frame.data(), static_cast<unsigned>(frame.size()), handle);
  Bytes reply(6000);
  int count = 0;
  ASSERT_EQ(GetDataFromPort(reply.data(), &count, handle), STATUS_OK);
  EXPECT_EQ(reply[3], 0xFD);
}

}  // namespace
}  // namespace velkor::test
