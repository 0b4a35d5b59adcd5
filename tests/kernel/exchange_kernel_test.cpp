// Commands through the kernel's HID core: the reports exactly as the reader
// receives them and as the library assembles the replies, commands through
// the C API, and reports left waiting in the kernel's hidraw queue.
#include <algorithm>
#include <set>

#include "tests/kernel/kernel_bench.h"
#include "velkor_link.hpp"

namespace velkor::kernel {
namespace {

using Exchange = KernelBench;

Bytes framed(Bytes body) {
  body.insert(body.begin(), static_cast<std::uint8_t>(body.size() + 2));
  body.resize(body.size() + 2);
  GetCRC(body.data(), static_cast<int>(body.size() - 2));
  return body;
}

// The payloads of input reports, as the reader meant them.
Bytes payloads(const std::vector<Crossing> &inputs) {
  Bytes stream;
  for (const Crossing &in : inputs) stream.insert(stream.end(), in.bytes.begin() + 2,
                                                  in.bytes.begin() + 2 + in.bytes[1]);
  return stream;
}

// A command sent with SendDataToPort and collected by its collector, and
// what the reader received: the data report, then one CTRL_POLL and one
// CTRL_ACK per input report.
struct RawCommand {
  const char *name;
  Bytes body;  // address, command, data
  bool begin;  // CTRL_BEGIN ahead of the frame
  int (*collect)(unsigned char *, int *, VelkorHandle);
};

// Failures name the case, not its bytes.
void PrintTo(const RawCommand &c, std::ostream *os) { *os << c.name; }

class ExactReports : public KernelBench, public ::testing::WithParamInterface<RawCommand> {};

TEST_P(ExactReports, AsTheReaderReceivesThemAndTheLibraryAssemblesTheReply) {
  const RawCommand &command = GetParam();
  BridgedReader &reader = add_reader();
  std::vector<VelkorHandle> found;
  ASSERT_EQ(discover(found), STATUS_OK);
  // The kernel hands the greeting to the bridge a moment after the write.
  ASSERT_TRUE(wait_until([&] { return reader.outputs().size() == 1; }, 2000));
  reader.clear_log();

  Bytes frame = framed(command.body);
  if (command.begin) {
    unsigned char begin[2] = {0x03, 0x0F};
    ASSERT_EQ(SendDataToPort(begin, 2, found[0]), 1);
  }
  ASSERT_EQ(SendDataToPort(frame.data(), static_cast<unsigned>(frame.size()), found[0]), 1);
  Bytes reply(6000, 0xEE);
  int count = 0;
  ASSERT_EQ(command.collect(reply.data(), &count, found[0]), STATUS_OK);
  reply.resize(static_cast<std::size_t>(count));

  const std::vector<Crossing> inputs = reader.inputs();
  ASSERT_FALSE(inputs.empty());
  std::vector<Bytes> expected;
  if (command.begin) expected.push_back(report({0x03, 0x0F}));
  Bytes data = {0x02, static_cast<std::uint8_t>(frame.size())};
  data.insert(data.end(), frame.begin(), frame.end());
  expected.push_back(report({}));
  std::copy(data.begin(), data.end(), expected.back().begin());
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    expected.push_back(report({0x03, 0x0A}));
    expected.push_back(report({0x03, 0x01}));
  }
  // The last CTRL_ACK reaches the bridge a moment after the collector returns.
  wait_until([&] { return reader.outputs().size() >= expected.size(); }, 2000);
  std::vector<Bytes> received;
  for (const Crossing &out : reader.outputs()) {
    received.push_back(out.bytes);
    EXPECT_EQ(out.rtype, UHID_OUTPUT_REPORT);
  }
  EXPECT_EQ(received, expected);
  for (const Crossing &in : inputs) {
    EXPECT_EQ(in.bytes.size(), 64u);
    EXPECT_EQ(in.bytes[0], 0x01) << "input report ID";
  }
  EXPECT_EQ(reply, payloads(inputs)) << "the reply is the reports' payloads, byte for byte";
  ASSERT_GE(reply.size(), 4u);
  EXPECT_EQ(reply[2], command.body[1]) << "echo";
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, ExactReports,
    ::testing::Values(
        RawCommand{"ReaderInformation", {0xFF, 0x21}, false, GetDataFromPort},
        // Q 4, session 0: every tag of the field, in frames over several reports.
        RawCommand{"Inventory", {0xFF, 0x01, 0x04, 0x00}, true, GetInventoryDataFromPort1}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Exchange, InventoryThenMemoryWriteAndReadBack) {
  BridgedReader &reader = add_reader({.seed = 7, .gen2_tags = 4});
  std::vector<VelkorHandle> found;
  ASSERT_EQ(discover(found), STATUS_OK);
  const VelkorHandle h = found[0];

  unsigned char address = 0xFF, frame4 = 0, mask[32] = {}, mask_addr[2] = {};
  Bytes list(VELKOR_MAX_TAG_LIST, 0);
  int total = 0, tags = 0;
  ASSERT_EQ(Inventory_G2(&address, 0x04, 0x00, 0, mask_addr, 0, mask, 0, 0, 0, 0, 0, 0, 0, 0,
                         list.data(), &frame4, &total, &tags, h),
            0x01);
  std::set<Bytes> seen;
  for (std::size_t at = 0; at < static_cast<std::size_t>(total); at += 1u + list[at])
    seen.insert(Bytes(list.begin() + at + 1, list.begin() + at + 1 + list[at]));
  std::set<Bytes> held;
  reader.with_emulator([&](emu::Emulator &e) {
    for (const emu::Gen2Tag &tag : e.reader().tags.gen2) held.insert(tag.epc());
  });
  EXPECT_EQ(tags, 4);
  EXPECT_EQ(seen, held);

  Bytes epc = *seen.begin();
  const Bytes words = {0xCA, 0xFE, 0x20, 0x24};
  unsigned char password[4] = {};
  int error = 0;
  ASSERT_EQ(WriteData_G2(&address, epc.data(), 2, static_cast<unsigned char>(epc.size() / 2),
                         VELKOR_BANK_USER, 0, const_cast<unsigned char *>(words.data()), password,
                         0, nullptr, 0, nullptr, &error, h),
            STATUS_OK);
  Bytes back(4, 0xEE);
  ASSERT_EQ(ReadData_G2(&address, epc.data(), static_cast<unsigned char>(epc.size() / 2),
                        VELKOR_BANK_USER, 0, 2, password, 0, nullptr, 0, nullptr, back.data(),
                        &error, h),
            STATUS_OK);
  EXPECT_EQ(back, words);
  reader.with_emulator([&](emu::Emulator &e) {
    for (const emu::Gen2Tag &tag : e.reader().tags.gen2)
      if (tag.epc() == epc) {
        EXPECT_EQ(tag.banks[VELKOR_BANK_USER][0], 0xCAFE);
        EXPECT_EQ(tag.banks[VELKOR_BANK_USER][1], 0x2024);
      }
  });
}

// The kernel takes every output report, whether or not the reader behind
// it takes any (uhid queues them, a socket pair refuses them once full):
// only the read limits end the call.
TEST_F(Exchange, AReaderThatStopsTakingReportsIsGivenUpOnInTime) {
  BridgedReader &reader = add_reader();
  std::vector<VelkorHandle> found;
  ASSERT_EQ(discover(found), STATUS_OK);
  reader.with_emulator([](emu::Emulator &e) { e.inject_next({.stop_reading = true}); });
  unsigned char address = 0x00, param3 = 0;
  Bytes list(VELKOR_MAX_TAG_LIST, 0xEE);
  int total = 0x5EE5, tags = 0x5EE5;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Fast_EPC_Inventory_G2(&address, 0x04, 0, 0, 0, &param3, list.data(), &total, &tags,
                                  found[0]),
            STATUS_COMM_ERROR);
  const long long took = ms_since(start);
  // The inventory's collector polls on after reads that get nothing, until
  // its limit for a reader that sends nothing at all.
  EXPECT_GE(took, 1000);
  EXPECT_LT(took, 2000);
  EXPECT_EQ(total, 0x5EE5);
  EXPECT_EQ(tags, 0);
  EXPECT_TRUE(std::all_of(list.begin(), list.end(), [](unsigned char b) { return b == 0xEE; }));
  wait_until([&] { return reader.outputs().size() >= 7; }, 1000);
  EXPECT_GE(reader.outputs().size(), 7u) << "the frame and a poll every 150 ms, all taken";
}

// Reports that no poll of the next exchange asked for, waiting in the
// kernel's queue for the handle when the exchange starts.
enum class Stale { kUnasked, kLateReply };

struct StaleCase {
  const char *name;
  Stale kind;
};

// Failures name the case, not its bytes.
void PrintTo(const StaleCase &c, std::ostream *os) { *os << c.name; }

class StaleReports : public KernelBench, public ::testing::WithParamInterface<StaleCase> {
 protected:
  // Two EPC-bank words of the first tag, from word `pointer` on.
  int read(unsigned char pointer, Bytes &words) {
    unsigned char password[4] = {};
    int error = 0;
    words.assign(4, 0xEE);
    return ReadData_G2(&address, epc.data(), static_cast<unsigned char>(epc.size() / 2),
                       VELKOR_BANK_EPC, pointer, 2, password, 0, nullptr, 0, nullptr,
                       words.data(), &error, handle);
  }
  unsigned char address = 0xFF;
  Bytes epc;
  VelkorHandle handle = VELKOR_INVALID_HANDLE;
};

TEST_P(StaleReports, AreDiscardedBeforeTheNextCommand) {
  BridgedReader &reader = add_reader({.seed = 11});
  reader.with_emulator([&](emu::Emulator &e) { epc = e.reader().tags.gen2[0].epc(); });
  std::vector<VelkorHandle> found;
  ASSERT_EQ(discover(found), STATUS_OK);
  handle = found[0];
  Bytes at2, at3, got;
  ASSERT_EQ(read(2, at2), STATUS_OK);
  ASSERT_EQ(read(3, at3), STATUS_OK);
  ASSERT_NE(at2, at3);

  if (GetParam().kind == Stale::kUnasked) {
    // More whole replies to the same command than the kernel keeps for a
    // handle, each good but for the wrong words.
    Bytes wrong = framed({0x00, 0x02, 0x00, static_cast<std::uint8_t>(at3[0] ^ 0xFF), 0x11,
                          0x22, 0x33});
    Bytes unasked = report({0x01, static_cast<std::uint8_t>(wrong.size())});
    std::copy(wrong.begin(), wrong.end(), unasked.begin() + 2);
    for (int i = 0; i < 80; ++i) ASSERT_TRUE(reader.send_unasked(unasked));
  } else {
    // The reply to pointer 2 comes after the library has given up on it.
    reader.with_emulator([](emu::Emulator &e) { e.inject_next({.late_ms = 150}); });
    EXPECT_EQ(read(2, got), STATUS_COMM_ERROR);
  }
  ASSERT_TRUE(input_waits(handle, 2000)) << "nothing waits in the kernel's queue";
  EXPECT_EQ(read(3, got), STATUS_OK);
  EXPECT_EQ(got, at3) << "a stale report answered the read of pointer 3";
  EXPECT_FALSE(input_waits(handle, 0));
}

INSTANTIATE_TEST_SUITE_P(Kernel, StaleReports,
                         ::testing::Values(StaleCase{"UnaskedReportsFillTheQueue", Stale::kUnasked},
                                           StaleCase{"LateReply", Stale::kLateReply}),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkor::kernel
