// The reader-side tag buffer: frames on the wire, the buffered inventory's
// numbers, and reading the buffer back as a run of frames.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "buffer/buffer_frame.h"
#include "tests/support/link_fixture.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

constexpr int kUntouched = 0x5A5A5A5A;

struct Outputs {
  std::array<int, 2> n{kUntouched, kUntouched};
  unsigned char b = 0xEE;
};

int inventory(unsigned char *a, Outputs &o, VelkorHandle h, unsigned char flag = 0) {
  unsigned char mask_addr[2] = {0x00, 0x20}, mask[2] = {0xAB, 0x80};
  return InventoryBuffer_G2(a, 0x04, 0x00, 0x01, mask_addr, 9, mask, flag, 0x02, 0x06, flag,
                            0x10, 0x20, 0x30, flag, &o.n[0], &o.n[1], h);
}

struct BufferCase {
  const char *name;
  std::function<int(unsigned char *, Outputs &, VelkorHandle)> call;
  Bytes frame;  // to reader address 0x00
  std::uint8_t command;
  Bytes reply_data;
  Outputs after_reply;  // written after any good reply, whatever the status
};

class BufferCommand : public LinkTest, public ::testing::WithParamInterface<BufferCase> {
 protected:
  int call(std::uint8_t status, unsigned char &address, Outputs &out) {
    device.push_stream(reply_frame(0x09, GetParam().command, status, GetParam().reply_data));
    return GetParam().call(&address, out, handle);
  }
  static void expect_equal(const Outputs &a, const Outputs &b) {
    EXPECT_EQ(a.n, b.n);
    EXPECT_EQ(a.b, b.b);
  }
};

TEST_P(BufferCommand, SendsItsFrameWithoutAControlReportAhead) {
  unsigned char address = 0x00;
  Outputs out;
  call(0, address, out);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], GetParam().frame);
  EXPECT_EQ(device.written[0][0], 0x02);
  EXPECT_EQ(device.controls().front(), CTRL_POLL);
}

TEST_P(BufferCommand, OutputsFollowAnyGoodReplyAndTheAddressNever) {
  for (std::uint8_t status : {0x00, 0xFB}) {
    unsigned char address = 0x00;
    Outputs out;
    EXPECT_EQ(call(status, address, out), status);
    EXPECT_EQ(address, 0x00);
    expect_equal(out, GetParam().after_reply);
  }
}

TEST_P(BufferCommand, WrongEchoWritesNothing) {
  device.push_stream(reply_frame(0x09, GetParam().command ^ 0x80, 0, GetParam().reply_data));
  unsigned char address = 0x00;
  Outputs out;
  EXPECT_EQ(GetParam().call(&address, out, handle), STATUS_COMMAND_MISMATCH);
  expect_equal(out, Outputs{});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, BufferCommand,
    ::testing::Values(
        BufferCase{"InventoryBuffer_G2",
                   [](unsigned char *a, Outputs &o, VelkorHandle h) { return inventory(a, o, h); },
                   with_crc({0x06, 0x00, 0x18, 0x04, 0x00}), 0x18, {0x01, 0x2C, 0x00, 0x05},
                   {{300, 5}, 0xEE}},
        // The 16-bit numbers are unsigned: 0x8000 and above stay positive.
        BufferCase{"InventoryBuffer_G2_high",
                   [](unsigned char *a, Outputs &o, VelkorHandle h) { return inventory(a, o, h); },
                   with_crc({0x06, 0x00, 0x18, 0x04, 0x00}), 0x18, {0x80, 0x00, 0xFF, 0xFF},
                   {{0x8000, 0xFFFF}, 0xEE}},
        BufferCase{"GetBufferCnt_G2",
                   [](unsigned char *a, Outputs &o, VelkorHandle h) {
                     return GetBufferCnt_G2(a, &o.n[0], h);
                   },
                   with_crc({0x04, 0x00, 0x74}), 0x74, {0x00, 0x0A}, {{10, kUntouched}, 0xEE}},
        BufferCase{"GetBufferCnt_G2_high",
                   [](unsigned char *a, Outputs &o, VelkorHandle h) {
                     return GetBufferCnt_G2(a, &o.n[0], h);
                   },
                   with_crc({0x04, 0x00, 0x74}), 0x74, {0xFF, 0xFE}, {{0xFFFE, kUntouched}, 0xEE}},
        BufferCase{"ClearBuffer_G2",
                   [](unsigned char *a, Outputs &, VelkorHandle h) {
                     return ClearBuffer_G2(a, h);
                   },
                   with_crc({0x04, 0x00, 0x73}), 0x73, {}, {}},
        BufferCase{"SetSaveLen",
                   [](unsigned char *a, Outputs &, VelkorHandle h) {
                     return SetSaveLen(a, 0x0C, h);
                   },
                   with_crc({0x05, 0x00, 0x70, 0x0C}), 0x70, {}, {}},
        BufferCase{"GetSaveLen",
                   [](unsigned char *a, Outputs &o, VelkorHandle h) {
                     return GetSaveLen(a, &o.b, h);
                   },
                   with_crc({0x04, 0x00, 0x71}), 0x71, {0x0C}, {{kUntouched, kUntouched}, 0x0C}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LinkTest, BufferedInventoryPacksItsGroupsLikeTheInventory) {
  device.push_stream(reply_frame(0x00, 0x18, 0x00, {0, 1, 0, 1}));
  unsigned char address = 0x00;
  Outputs out;
  inventory(&address, out, handle, 1);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], with_crc({0x11, 0x00, 0x18, 0x04, 0x00, 0x01, 0x00, 0x20, 0x09, 0xAB,
                                   0x80, 0x02, 0x06, 0x10, 0x20, 0x30}));
  device.written.clear();
  device.push_stream(reply_frame(0x00, 0x18, 0x00, {0, 1, 0, 1}));
  inventory(&address, out, handle, 2);
  EXPECT_EQ(frames()[0].size(), 7u) << "flags other than 1 leave their groups out";
}

TEST_F(LinkTest, BufferedInventoryChecksTheCrcOfAReplyCompleteByLength) {
  Bytes reply = reply_frame(0x00, 0x18, 0x00, {0x01, 0x2C, 0x00, 0x05});
  reply.back() ^= 0x01;
  device.push_stream(reply);
  unsigned char address = 0x00;
  Outputs out;
  EXPECT_EQ(inventory(&address, out, handle), STATUS_CRC_ERROR);
  EXPECT_EQ(out.n[0], kUntouched);
}

// ReadBuffer_G2 against scripted runs of buffer frames.
class ReadBuffer : public LinkTest {
 protected:
  static Bytes frame(std::uint8_t status, std::uint8_t tags, std::size_t n, std::uint8_t fill) {
    Bytes d = {tags};
    d.insert(d.end(), n, fill);
    return reply_frame(0x00, 0x72, status, d);
  }
  int read(const Bytes &stream) {
    device.push_stream(stream);
    return ReadBuffer_G2(&address, &total, &count, list, handle);
  }
  Bytes listed() const { return Bytes(list, list + (total > 0 ? total : 0)); }

  unsigned char address = 0x00;
  int total = kUntouched;
  int count = 77;  // whatever the caller held
  unsigned char list[600];

  void SetUp() override {
    LinkTest::SetUp();
    std::fill(std::begin(list), std::end(list), 0xEE);
  }
};

TEST_F(ReadBuffer, SendsBeginThenItsFrame) {
  read(reply_frame(0x00, 0x72, 0x01));
  EXPECT_EQ(device.controls().front(), CTRL_BEGIN);
  EXPECT_EQ(device.written[1][0], 0x02);
  EXPECT_EQ(frames(), std::vector<Bytes>{with_crc({0x04, 0x00, 0x72})});
}

TEST_F(ReadBuffer, AcceptedFramesMakeOneListInArrivalOrder) {
  EXPECT_EQ(read(concat({frame(0x03, 2, 20, 0xA1), frame(0x01, 1, 10, 0xB2)})), 0x01);
  EXPECT_EQ(total, 30);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(listed(), concat({Bytes(20, 0xA1), Bytes(10, 0xB2)}));
  EXPECT_EQ(list[30], 0xEE);
  EXPECT_EQ(address, 0x00) << "the address is never written back";
}

TEST_F(ReadBuffer, OtherStatusesAreSteppedOver) {
  EXPECT_EQ(read(concat({frame(0x03, 2, 20, 0xA1), frame(0x00, 5, 7, 0xCC),
                         frame(0x01, 1, 10, 0xB2)})),
            0x01);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(listed(), concat({Bytes(20, 0xA1), Bytes(10, 0xB2)}));
}

TEST_F(ReadBuffer, AnEmptyBufferLeavesTheListAlone) {
  EXPECT_EQ(read(reply_frame(0x00, 0x72, 0x01)), 0x01);
  EXPECT_EQ(total, 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(list[0], 0xEE);
}

TEST_F(ReadBuffer, RepliesUnderElevenBytesAreNotWalked) {
  // Seven to ten bytes: a tag count and up to three data bytes, all ignored.
  for (std::size_t n = 0; n <= 3; ++n) {
    count = 77;
    EXPECT_EQ(read(frame(0x01, 5, n, 0xB2)), 0x01) << n;
    EXPECT_EQ(total, 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(list[0], 0xEE);
  }
  EXPECT_EQ(read(frame(0x01, 5, 4, 0xB2)), 0x01) << "eleven bytes are walked";
  EXPECT_EQ(count, 5);
  EXPECT_EQ(listed(), Bytes(4, 0xB2));
}

TEST_F(ReadBuffer, NeitherCrcNorEchoIsTested) {
  Bytes last = frame(0x01, 1, 10, 0xB2);
  last[2] = 0x99;
  last.back() ^= 0xFF;
  EXPECT_EQ(read(last), 0x01);
  EXPECT_EQ(listed(), Bytes(10, 0xB2));
}

TEST_F(ReadBuffer, FramesTooShortForTheirFieldsContributeNothing) {
  // Length bytes 4 and 5 leave no room for a tag count, let alone tag data.
  const Bytes four = {0x04, 0x00, 0x72, 0x03, 0x07};
  const Bytes five = reply_frame(0x00, 0x72, 0x03);
  EXPECT_EQ(read(concat({four, five, frame(0x01, 1, 10, 0xB2)})), 0x01);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(listed(), Bytes(10, 0xB2));
}

TEST_F(ReadBuffer, FailuresWriteNothing) {
  device.silent = true;
  EXPECT_EQ(ReadBuffer_G2(&address, &total, &count, list, handle), STATUS_COMM_ERROR);
  EXPECT_EQ(ReadBuffer_G2(&address, &total, &count, list, VELKOR_INVALID_HANDLE),
            STATUS_COMM_ERROR)
      << "the begin report is refused before the collector could see the handle";
  device.silent = false;
  device.written.clear();
  device.refused_writes = {0};
  EXPECT_EQ(read(frame(0x01, 1, 10, 0xB2)), STATUS_COMM_ERROR);
  EXPECT_EQ(device.written.size(), 1u) << "nothing after the refused begin report";
  EXPECT_EQ(total, kUntouched);
  EXPECT_EQ(count, 77);
  EXPECT_EQ(list[0], 0xEE);
}

// A frame that runs past the collected bytes cannot end a collection, so the
// layout is checked on the walk itself.
TEST(BufferFrameLayout, AFrameRunningPastTheBytesContributesNothing) {
  Bytes tags = {2};
  tags.insert(tags.end(), 20, 0xA1);
  Bytes run = concat({reply_frame(0x00, 0x72, 0x03, tags), reply_frame(0x00, 0x72, 0x01, tags)});
  run.resize(run.size() - 3);
  Bytes list(run.size(), 0xEE);
  const WalkResult walked = walk_frames(run.data(), run.size(), kBufferFrameLayout, list.data());
  EXPECT_EQ(walked.tag_count, 2);
  EXPECT_EQ(walked.list_length, 20u);
  EXPECT_EQ(list[20], 0xEE);
}

}  // namespace
}  // namespace velkor::test
