// The reader emulator seen through the library's collectors and commands.
#include <gtest/gtest.h>

#include "tests/support/emulated_device.h"
#include "tests/support/scripted_device.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

struct Info {
  unsigned char b[12];
  Info() { std::fill(std::begin(b), std::end(b), 0xEE); }
};

int get_info(unsigned char *address, Info &i, VelkorHandle h) {
  unsigned char *b = i.b;
  return GetReaderInformation(address, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7, b + 8,
                              b + 9, b + 10, b + 11, h);
}

class EmulatorSplit : public EmulatorTest,
                      public ::testing::WithParamInterface<std::size_t> {};

TEST_P(EmulatorSplit, InformationBlockArrivesWhateverTheSplit) {
  emulator().inject_always({.split = {GetParam()}});
  Info info;
  ASSERT_EQ(get_info(&address, info, handle), STATUS_OK);
  const Bytes expected = reader().information_block();
  EXPECT_EQ(Bytes(info.b, info.b + 12), expected);
  EXPECT_EQ(device.emulator.trace().entries.size(), 1 + 3 * ((18 + GetParam() - 1) / GetParam()))
      << "frame, then poll, reply, ack per piece";
}

INSTANTIATE_TEST_SUITE_P(Pieces, EmulatorSplit, ::testing::Range<std::size_t>(1, 63));

TEST_F(EmulatorTest, AnswersItsOwnAddressAndBroadcastFromItsOwn) {
  reader().identity.address = 0x21;
  Info info;
  address = 0xFF;
  EXPECT_EQ(get_info(&address, info, handle), STATUS_OK);
  EXPECT_EQ(address, 0x21) << "replies come from the reader's own address";
  address = 0x21;
  EXPECT_EQ(get_info(&address, info, handle), STATUS_OK);
  address = 0x22;
  EXPECT_EQ(get_info(&address, info, handle), STATUS_COMM_ERROR) << "not for this reader";
}

TEST_F(EmulatorTest, DamagedFramesGetNoReply) {
  for (Bytes frame : {Bytes{0x04, 0x00, 0x21, 0xD9, 0x6B},     // CRC
                      Bytes{0x05, 0x00, 0x21, 0xD9, 0x6A},     // length byte
                      Bytes{0x04, 0x00, 0x21, 0xD9}}) {        // cut short
    ASSERT_EQ(SendDataToPort(frame.data(), static_cast<unsigned>(frame.size()), handle), 1);
    Bytes reply(6000);
    int count = 0;
    EXPECT_EQ(GetDataFromPort(reply.data(), &count, handle), STATUS_COMM_ERROR);
  }
  EXPECT_EQ(emulator().frames_received(), 0u);
  // The damaged length byte and the cut frame disagree with their reports'
  // counts: the witness saw both, and this test meant them.
  EXPECT_EQ(emulator().take_violations().size(), 2u);
}

TEST_F(EmulatorTest, UnknownCommandAndWrongLengthAreReaderStatuses) {
  auto send = [&](Bytes body) {
    Bytes frame = with_crc(body);
    SendDataToPort(frame.data(), static_cast<unsigned>(frame.size()), handle);
    Bytes reply(6000);
    int count = 0;
    EXPECT_EQ(GetDataFromPort(reply.data(), &count, handle), STATUS_OK);
    return reply[3];
  };
  EXPECT_EQ(send({0x04, 0x00, 0xEE}), 0xFE);
  EXPECT_EQ(send({0x05, 0x00, 0x21, 0x01}), 0xFD) << "the information block takes no data";
}

TEST_F(EmulatorTest, IdentityRoundTrips) {
  unsigned char serial[4] = {0x10, 0x20, 0x30, 0x40}, back[4] = {};
  EXPECT_EQ(SetSeriaNo(&address, serial, handle), STATUS_OK);
  EXPECT_EQ(GetSeriaNo(&address, back, handle), STATUS_OK);
  EXPECT_EQ(Bytes(back, back + 4), Bytes(serial, serial + 4));

  EXPECT_EQ(SetAddress(&address, 0x05, handle), STATUS_OK);
  EXPECT_EQ(address, 0x05);
  EXPECT_EQ(reader().identity.address, 0x05);

  EXPECT_EQ(SetCommType(&address, 0x09, handle), 0xFF) << "out of the reader's range";
  unsigned char version[2] = {};
  EXPECT_EQ(GetModuleVersion(&address, version, handle), STATUS_OK);
  EXPECT_EQ(version[0], reader().identity.module_version[0]);
}

// Every fault, observed through the library with the code it promises.
struct FaultCase {
  const char *name;
  emu::Faults faults;
  int expected;
};

class EmulatorFault : public EmulatorTest,
                      public ::testing::WithParamInterface<FaultCase> {};

TEST_P(EmulatorFault, ReachesTheCallerAsPromised) {
  emulator().inject_next(GetParam().faults);
  Info info;
  address = 0x00;
  EXPECT_EQ(get_info(&address, info, handle), GetParam().expected);
  if (GetParam().expected != STATUS_OK) {
    EXPECT_EQ(info.b[0], 0xEE) << "no output on failure";
    EXPECT_EQ(address, 0x00);
  }
  // The fault was for one reply only.
  EXPECT_EQ(get_info(&address, info, handle), STATUS_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, EmulatorFault,
    ::testing::Values(
        FaultCase{"silence", {.silence = true}, STATUS_COMM_ERROR},
        FaultCase{"delay_within_limit", {.empty_reports = 10}, STATUS_OK},
        FaultCase{"delay_past_limit", {.empty_reports = 40}, STATUS_COMM_ERROR},
        FaultCase{"stray_byte", {.stray = {0x55}}, STATUS_COMM_ERROR},
        FaultCase{"partial_reply", {.cut_tail = 1}, STATUS_COMM_ERROR},
        FaultCase{"corrupt_crc", {.corrupt_crc = true}, STATUS_COMM_ERROR},
        FaultCase{"wrong_echo", {.echo = 0x22}, STATUS_COMMAND_MISMATCH},
        FaultCase{"forced_status", {.status = 0xFB}, 0xFB},
        FaultCase{"oversized_count", {.oversized_count = 0x50}, STATUS_COMM_ERROR},
        FaultCase{"refused_write", {.refuse_writes = 1}, STATUS_COMM_ERROR},
        FaultCase{"failed_read", {.fail_reads = 1}, STATUS_COMM_ERROR}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(EmulatorTest, EndlessNonFinalFramesNeverCompleteAnInventory) {
  emulator().inject_next({.endless = true});
  Bytes frame = with_crc({0x04, 0x00, 0x21});
  SendDataToPort(frame.data(), static_cast<unsigned>(frame.size()), handle);
  Bytes reply(6000);
  int count = 0;
  EXPECT_EQ(GetInventoryDataFromPort1(reply.data(), &count, handle), STATUS_COMM_ERROR);
  EXPECT_EQ(count, 0);
  EXPECT_GT(emulator().trace().entries.size(), 200u);
}

TEST_F(EmulatorTest, PersistentFaultsLastUntilCleared) {
  emulator().inject_always({.status = 0xFB});
  Info info;
  EXPECT_EQ(get_info(&address, info, handle), 0xFB);
  EXPECT_EQ(get_info(&address, info, handle), 0xFB);
  emulator().clear_faults();
  EXPECT_EQ(get_info(&address, info, handle), STATUS_OK);
}

TEST_F(EmulatorTest, BeginDiscardsWhatWasLeftOfAReply) {
  Bytes frame = with_crc({0x04, 0x00, 0x21});
  SendDataToPort(frame.data(), static_cast<unsigned>(frame.size()), handle);
  unsigned char begin[2] = {0x03, CTRL_BEGIN};
  SendDataToPort(begin, 2, handle);
  Bytes reply(6000);
  int count = 0;
  EXPECT_EQ(GetDataFromPort(reply.data(), &count, handle), STATUS_COMM_ERROR);
}

TEST(EmulatorSeed, OneSeedOneTrace) {
  auto run = [](std::uint64_t seed) {
    fake::reset();
    fake::set_clock(5000);
    EmulatedDevice device({.seed = seed});
    device.emulator.trace().record = true;
    const VelkorHandle h = fake::attach(device);
    unsigned char a = 0, serial[4];
    GetSeriaNo(&a, serial, h);
    Info info;
    get_info(&a, info, h);
    std::vector<std::string> lines;
    for (const auto &e : device.emulator.trace().entries) lines.push_back(emu::format(e));
    fake::reset();
    return lines;
  };
  EXPECT_EQ(run(7), run(7));
  EXPECT_NE(run(7), run(8)) << "the serial number comes from the seed";
}

TEST(EmulatorSeed, PopulationIsReproducible) {
  emu::Reader a({.seed = 42}), b({.seed = 42}), c({.seed = 43});
  ASSERT_EQ(a.tags.gen2.size(), 5u);
  ASSERT_EQ(a.tags.iso6b.size(), 2u);
  for (std::size_t i = 0; i < a.tags.gen2.size(); ++i) {
    EXPECT_EQ(a.tags.gen2[i].epc(), b.tags.gen2[i].epc());
    EXPECT_EQ(a.tags.gen2[i].epc().size(), 12u);
  }
  EXPECT_NE(a.tags.gen2[0].epc(), c.tags.gen2[0].epc());
  EXPECT_EQ(Bytes(a.tags.iso6b[0].id.begin(), a.tags.iso6b[0].id.end()),
            Bytes(a.tags.iso6b[0].memory.begin(), a.tags.iso6b[0].memory.begin() + 8));
}

TEST(EmulatorTags, EpcRewriteKeepsPcAndStoredCrcConsistent) {
  emu::Rng rng(1);
  emu::Gen2Tag tag = emu::make_gen2_tag(rng);
  tag.set_epc({0x30, 0x08, 0x33, 0xB2, 0xDD, 0xD9, 0x01, 0x40, 0x00, 0x00, 0x00, 0x00});
  EXPECT_EQ(tag.banks[emu::kEpcBank][1] >> 11, 6);
  const char *digits = "123456789";
  EXPECT_EQ(emu::gen2_crc16(Bytes(digits, digits + 9)), 0xD64E) << "check value";
  // Over PC, EPC and the stored CRC itself the residue is the fixed 0x1D0F.
  Bytes covered = {0x30, 0x00, 0x30, 0x08, 0x33, 0xB2, 0xDD, 0xD9, 0x01, 0x40, 0x00, 0x00, 0x00, 0x00};
  const std::uint16_t stored = tag.banks[emu::kEpcBank][0];
  covered.push_back(static_cast<std::uint8_t>(stored >> 8));
  covered.push_back(static_cast<std::uint8_t>(stored));
  EXPECT_EQ(static_cast<std::uint16_t>(~emu::gen2_crc16(covered)), 0x1D0F);
  tag.set_epc({0xAB, 0xCD});
  EXPECT_EQ(tag.epc(), (Bytes{0xAB, 0xCD}));
}

TEST(EmulatorTrace, FormatsADirectionTimeAndTheReport) {
  emu::TraceEntry e{emu::TraceEntry::kToReader, 1050, {}};
  e.report[0] = 0x03;
  e.report[1] = 0x0A;
  EXPECT_EQ(emu::format(e), "   1.050 s  host > reader  03 0A");
  e.direction = emu::TraceEntry::kFromReader;
  e.report[1] = 0x00;
  e.report[5] = 0x7F;
  EXPECT_EQ(emu::format(e), "   1.050 s  reader > host  03 00 00 00 00 7F");
}

}  // namespace
}  // namespace velkor::test
