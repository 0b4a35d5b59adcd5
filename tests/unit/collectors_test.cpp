// The four reply collectors: completion rules, bounds and time limits, on the
// virtual clock.
#include <gtest/gtest.h>

#include "tests/support/link_fixture.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

using CollectorFn = int (*)(unsigned char *, int *, VelkorHandle);

struct Collected {
  int rc = -1;
  int count = -7;
  Bytes reply = Bytes(6000, 0xEE);
};

Collected collect(CollectorFn fn, VelkorHandle handle) {
  Collected c;
  c.rc = fn(c.reply.data(), &c.count, handle);
  return c;
}

Bytes head(const Bytes &b, std::size_t n) { return Bytes(b.begin(), b.begin() + n); }

// A reply frame with `size` bytes in all (length byte size - 1).
Bytes frame_of_size(std::size_t size, std::uint8_t status = 0,
                    std::uint8_t echo = 0x21) {
  Bytes data(size - 6);
  for (std::size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<std::uint8_t>(i * 7 + 1);
  return reply_frame(0x00, echo, status, data);
}

// An inventory frame: address, echo, status, byte 4, tag count, tag data.
Bytes inventory_frame(std::uint8_t status, std::uint8_t tags, std::size_t data,
                      std::uint8_t fill = 0x30) {
  Bytes d = {0x00, tags};
  d.insert(d.end(), data, fill);
  return reply_frame(0x00, 0x01, status, d);
}

// ---- time limits, shared by all four collectors ---------------------------

struct LimitCase {
  const char *name;
  CollectorFn fn;
  std::uint32_t quiet_ms;    // 0: no early give-up
  std::uint32_t overall_ms;
  Bytes partial;             // a first report that never completes
  Bytes reply;               // a whole reply this collector completes on
  std::uint32_t zeros_ms;    // the limit when every payload is all zero bytes
  int early_count;           // *count after a failure before any byte was kept
};

class TimeLimit : public LinkTest,
                  public ::testing::WithParamInterface<
                      std::tuple<LimitCase, std::uint32_t>> {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    start = std::get<1>(GetParam());
    fake::set_clock(start);
  }
  const LimitCase &lc() const { return std::get<0>(GetParam()); }
  std::uint32_t elapsed() const { return fake::clock() - start; }
  std::uint32_t start = 0;
};

// Each poll cycle lasts 50 ms here; a further cycle begins while the elapsed
// time is at most the limit, so the give-up comes at limit + 50.
TEST_P(TimeLimit, NothingAtAllEndsAtTheQuietLimit) {
  const std::uint32_t limit = lc().quiet_ms ? lc().quiet_ms : lc().overall_ms;
  Collected c = collect(lc().fn, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(elapsed(), limit + 50);
  EXPECT_EQ(device.polls(), limit / 50 + 1);
}

TEST_P(TimeLimit, ACycleEndingOneMillisecondPastTheLimitIsTheLast) {
  const std::uint32_t limit = lc().quiet_ms ? lc().quiet_ms : lc().overall_ms;
  device.push(input_report({}), 1);  // every cycle now ends at 50k + 1
  Collected c = collect(lc().fn, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(elapsed(), limit + 1);
  EXPECT_EQ(device.polls(), limit / 50);
}

TEST_P(TimeLimit, APartialReplyEndsAtTheOverallLimit) {
  device.push(input_report(lc().partial));
  Collected c = collect(lc().fn, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(elapsed(), lc().overall_ms + 50);
}

// A reader that refuses every write at once, as an unplugged one does (here a
// handle no device answers).  The collectors that poll on after a failed
// poll still wait out each cycle's pause and reach their limit; without it
// they would spin, and on the virtual clock never see the limit pass.
TEST_P(TimeLimit, AReaderRefusingWritesAtOnceIsStillPolledAtThePace) {
  const std::uint32_t limit = lc().quiet_ms ? lc().quiet_ms : lc().overall_ms;
  Collected c = collect(lc().fn, fake::handle_from(7));
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  // The single-frame collector ends at its first failed poll.
  EXPECT_EQ(elapsed(), lc().fn == &GetDataFromPort ? 0u : limit + 50);
}

TEST_P(TimeLimit, InvalidHandleSendsNothing) {
  Collected c = collect(lc().fn, VELKOR_INVALID_HANDLE);
  EXPECT_EQ(c.rc, STATUS_INVALID_HANDLE);
  EXPECT_EQ(c.count, lc().early_count);
  EXPECT_TRUE(device.written.empty());
  EXPECT_EQ(elapsed(), 0u);
}

// The completion test comes before the time test: a reply whose last piece
// arrives in the cycle that ends 1 ms past the limit is still taken.
TEST_P(TimeLimit, AReplyCompletedInTheCycleEndingPastTheLimitIsTaken) {
  const Bytes &reply = lc().reply;
  device.push(input_report(head(reply, 3)), 1);  // cycle k now ends at 50k + 1
  for (std::uint32_t cycle = 2; cycle < lc().overall_ms / 50; ++cycle)
    device.push(input_report({}));
  device.push(input_report(Bytes(reply.begin() + 3, reply.end())));
  Collected c = collect(lc().fn, handle);
  EXPECT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(c.count, static_cast<int>(reply.size()));
  EXPECT_EQ(head(c.reply, reply.size()), reply);
  EXPECT_EQ(elapsed(), lc().overall_ms + 1);
}

// Payloads of nothing but zero bytes are nothing received to the three
// polling collectors (the quiet limit ends them), but reply bytes to the
// single-frame one.
TEST_P(TimeLimit, AllZeroPayloadsEndAtTheirLimit) {
  for (std::uint32_t cycle = 0; cycle <= lc().zeros_ms / 50; ++cycle)
    device.push(input_report(Bytes(62, 0x00)));
  Collected c = collect(lc().fn, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(elapsed(), lc().zeros_ms + 50);
}

// A report read whole whose acknowledge is refused ends the collection: were
// it dropped and the collection gone on, the next report, here a whole
// reply, would be handed over without the bytes before it.
TEST_P(TimeLimit, ARefusedAcknowledgeEndsTheCollectionAtOnce) {
  device.push(input_report(lc().reply));
  device.push(input_report(lc().reply));
  device.refused_writes = {1};  // the first cycle's acknowledge
  Collected c = collect(lc().fn, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(c.count, lc().early_count);
  EXPECT_EQ(c.reply[0], 0xEE);
  EXPECT_EQ(device.reads, 1u);
  EXPECT_EQ(elapsed(), 100u) << "the pause, then the acknowledge's 50 ms write limit";
}

const LimitCase kLimits[] = {
    {"single", &GetDataFromPort, 1000, 2000, {0x11, 0x00, 0x02}, frame_of_size(10), 2000, -7},
    {"inventory", &GetInventoryDataFromPort1, 1000, 15000, {0x11, 0x00, 0x01},
     inventory_frame(0x01, 1, 4), 1000, 0},
    {"buffer", &GetBufferDataFromPort, 1000, 10000, {0x11, 0x00, 0x72},
     reply_frame(0x00, 0x72, 0x01, {1, 0x44}), 1000, 0},
    {"by_length", &GetDataFromPort_buff, 0, 6000, {0x11, 0x00, 0x18},
     frame_of_size(10, 0, 0x18), 6000, 0},
};

INSTANTIATE_TEST_SUITE_P(
    Collectors, TimeLimit,
    ::testing::Combine(::testing::ValuesIn(kLimits),
                       // from zero, and starting 256 ms before the tick wraps
                       ::testing::Values(0u, 0xFFFFFF00u)),
    [](const auto &info) {
      return std::string(std::get<0>(info.param).name) +
             (std::get<1>(info.param) ? "_wrapping" : "");
    });

// ---- GetDataFromPort --------------------------------------------------------

class SingleSplit : public LinkTest,
                    public ::testing::WithParamInterface<std::size_t> {};

TEST_P(SingleSplit, ReassemblesAFrameSplitIntoEqualPieces) {
  // One piece per 50 ms cycle: tiny pieces only carry a short frame in 2 s.
  const std::size_t piece = GetParam();
  const std::size_t size = piece >= 3 ? 100 : 36;
  const Bytes frame = frame_of_size(size);
  device.push_stream(frame, {piece});
  Collected c = collect(&GetDataFromPort, handle);
  ASSERT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(c.count, static_cast<int>(size));
  EXPECT_EQ(head(c.reply, size), frame);
  EXPECT_EQ(device.polls(), (size + piece - 1) / piece);
}

TEST_P(SingleSplit, ReassemblesAShortFrameSplitAtEveryBoundary) {
  const Bytes frame = frame_of_size(18);
  const std::size_t first = GetParam() % 17 + 1;  // 1..17
  device.push_stream(frame, {first, 62});
  Collected c = collect(&GetDataFromPort, handle);
  ASSERT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(c.count, 18);
  EXPECT_EQ(head(c.reply, 18), frame);
  EXPECT_EQ(device.polls(), 2u);
}

TEST_F(LinkTest, SingleReplyPacedSlowerThanTheLimitFails) {
  device.push_stream(frame_of_size(100), {2});  // 50 cycles: 2500 ms
  Collected c = collect(&GetDataFromPort, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(device.polls(), 41u);
}

INSTANTIATE_TEST_SUITE_P(Pieces, SingleSplit, ::testing::Range<std::size_t>(1, 63));

TEST_F(LinkTest, SingleCompletesAfterTheSecondOfTwoReports) {
  const Bytes frame = frame_of_size(60);
  device.push_stream(frame, {40, 20});
  device.push(input_report({0x99}));  // never read
  Collected c = collect(&GetDataFromPort, handle);
  EXPECT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(c.count, 60);
  EXPECT_EQ(device.polls(), 2u);
  EXPECT_EQ(c.reply[60], 0xEE) << "nothing past the reply is written";
}

TEST_F(LinkTest, SingleCountsZeroPayloadsAsReplyBytes) {
  // Three zero bytes ahead of a good frame keep the residue non-zero: no
  // re-synchronisation, the collection runs into its limit.
  device.push(input_report({0, 0, 0}));
  device.push_stream(frame_of_size(10));
  Collected c = collect(&GetDataFromPort, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(fake::clock(), 2050u);
  EXPECT_EQ(c.count, -7) << "count untouched on failure";
  EXPECT_EQ(c.reply[0], 0xEE) << "buffer untouched on failure";
}

TEST_F(LinkTest, SingleStrayLeadingByteIsNotSkipped) {
  device.push_stream(concat({{0x7E}, frame_of_size(10)}));
  EXPECT_EQ(collect(&GetDataFromPort, handle).rc, STATUS_COMM_ERROR);
}

TEST_F(LinkTest, SingleFailedReadEndsAtOnceAndClearsTheFirstByte) {
  device.push(input_report({0x11, 0x00}));
  device.push_nothing();
  Collected c = collect(&GetDataFromPort, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(c.reply[0], 0);
  EXPECT_EQ(c.reply[1], 0xEE);
  EXPECT_EQ(c.count, -7);
  EXPECT_EQ(device.polls(), 2u);
}

TEST_F(LinkTest, SingleRefusedPollOrAckEndsAtOnce) {
  device.refused_writes = {2};  // second cycle's poll
  EXPECT_EQ(collect(&GetDataFromPort, handle).rc, STATUS_COMM_ERROR);
  EXPECT_EQ(device.reads, 1u);
  device.written.clear();
  device.refused_writes = {1};  // first cycle's ack
  EXPECT_EQ(collect(&GetDataFromPort, handle).rc, STATUS_COMM_ERROR);
  EXPECT_EQ(device.reads, 2u);
}

TEST_F(LinkTest, SingleIgnoresOversizedPayloadCounts) {
  const Bytes frame = frame_of_size(10);
  device.push(input_report(Bytes(62, 0x42), 200));
  device.push_stream(frame);
  Collected c = collect(&GetDataFromPort, handle);
  EXPECT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(head(c.reply, 10), frame);
}

// ---- GetInventoryDataFromPort1 -----------------------------------------------

class InventorySplit : public LinkTest,
                       public ::testing::WithParamInterface<std::size_t> {};

TEST_P(InventorySplit, HandsOverEveryFrameOnceTheFinalOneArrives) {
  const Bytes stream = concat({inventory_frame(0x03, 2, 24),
                               inventory_frame(0x03, 1, 12),
                               inventory_frame(0x01, 1, 12)});
  device.push_stream(stream, {GetParam()});
  device.push(input_report({0x99}));
  Collected c = collect(&GetInventoryDataFromPort1, handle);
  ASSERT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(c.count, static_cast<int>(stream.size()));
  EXPECT_EQ(head(c.reply, stream.size()), stream);
  EXPECT_EQ(device.polls(), (stream.size() + GetParam() - 1) / GetParam());
}

// From two bytes a report: a payload of nothing but zeros counts as empty.
INSTANTIATE_TEST_SUITE_P(Pieces, InventorySplit, ::testing::Range<std::size_t>(2, 63));

TEST_F(LinkTest, InventoryDropsAPayloadOfOnlyZeroBytes) {
  const Bytes frame = inventory_frame(0x01, 1, 4);  // its address byte is 0x00
  device.push_stream(frame, {1});
  Collected c = collect(&GetInventoryDataFromPort1, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR) << "the lost zero byte breaks the frame";
}

class InventoryStatus
    : public LinkTest,
      public ::testing::WithParamInterface<std::tuple<std::uint8_t, bool>> {};

TEST_P(InventoryStatus, OnlyFinalStatusesEndTheCollection) {
  const auto [status, final] = GetParam();
  const Bytes frame = inventory_frame(status, 1, 12);
  device.push_stream(frame);
  Collected c = collect(&GetInventoryDataFromPort1, handle);
  if (final) {
    EXPECT_EQ(c.rc, STATUS_OK);
    EXPECT_EQ(c.count, static_cast<int>(frame.size()));
  } else {
    EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
    EXPECT_EQ(c.count, 0);
    EXPECT_EQ(fake::clock(), 15050u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, InventoryStatus,
    ::testing::Values(std::tuple{0x01, true}, std::tuple{0x02, true},
                      std::tuple{0xF8, true}, std::tuple{0xF9, true},
                      std::tuple{0xFB, true}, std::tuple{0xFD, true},
                      std::tuple{0xFE, true}, std::tuple{0xFF, true},
                      std::tuple{0x00, false}, std::tuple{0x03, false},
                      std::tuple{0x04, false}, std::tuple{0xFA, false},
                      std::tuple{0xFC, false}));

TEST_F(LinkTest, InventoryFinalFrameFollowedByMoreBytesIsNotTheEnd) {
  const Bytes first = inventory_frame(0x01, 1, 12);
  const Bytes second = inventory_frame(0x01, 2, 24);
  device.push(input_report(concat({first, head(second, 3)})));
  device.push(input_report(Bytes(second.begin() + 3, second.end())));
  Collected c = collect(&GetInventoryDataFromPort1, handle);
  ASSERT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(head(c.reply, first.size() + second.size()), concat({first, second}));
  EXPECT_EQ(device.polls(), 2u);
}

TEST_F(LinkTest, InventoryBadCrcWaitsForTheLimit) {
  Bytes frame = inventory_frame(0x01, 1, 12);
  frame.back() ^= 0x01;
  device.push_stream(frame);
  EXPECT_EQ(collect(&GetInventoryDataFromPort1, handle).rc, STATUS_COMM_ERROR);
  EXPECT_EQ(fake::clock(), 15050u);
}

TEST_F(LinkTest, InventoryFailedReadsDoNotEndTheCollection) {
  device.push_nothing();
  device.push_nothing();
  device.push_stream(inventory_frame(0x01, 0, 0));
  Collected c = collect(&GetInventoryDataFromPort1, handle);
  EXPECT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(fake::clock(), 2 * 150u + 50u);
}

TEST_F(LinkTest, InventoryEndlessNonFinalFramesStopAt6000Bytes) {
  const Bytes frame = inventory_frame(0x03, 1, 54);  // 62 bytes
  ASSERT_EQ(frame.size(), 62u);
  for (int i = 0; i < 200; ++i) device.push(input_report(frame));
  Collected c = collect(&GetInventoryDataFromPort1, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(device.polls(), 6000u / 62 + 1);
  EXPECT_EQ(c.count, 0);
  EXPECT_EQ(c.reply[0], 0xEE);
}

// ---- GetBufferDataFromPort ----------------------------------------------------

Bytes buffer_frame(std::uint8_t status, std::uint8_t tags, std::size_t data) {
  Bytes d = {tags};
  d.insert(d.end(), data, 0x44);
  return reply_frame(0x00, 0x72, status, d);
}

TEST_F(LinkTest, BufferCompletesWhenAStatusOneFrameEndsTheBytes) {
  const Bytes stream = concat({buffer_frame(0x03, 2, 20), buffer_frame(0x01, 1, 10)});
  device.push_stream(stream, {7});
  Collected c = collect(&GetBufferDataFromPort, handle);
  ASSERT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(c.count, static_cast<int>(stream.size()));
  EXPECT_EQ(head(c.reply, stream.size()), stream);
}

TEST_F(LinkTest, BufferStatusOneFrameFollowedByMoreBytesIsNotComplete) {
  const Bytes first = buffer_frame(0x01, 1, 10);
  const Bytes second = buffer_frame(0x01, 1, 10);
  device.push(input_report(concat({first, head(second, 4)})));
  device.push(input_report(Bytes(second.begin() + 4, second.end())));
  Collected c = collect(&GetBufferDataFromPort, handle);
  ASSERT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(c.count, static_cast<int>(first.size() + second.size()));
  EXPECT_EQ(device.polls(), 2u);
}

TEST_F(LinkTest, BufferMakesNoCrcTest) {
  Bytes frame = buffer_frame(0x01, 0, 0);
  frame.back() ^= 0xFF;
  device.push_stream(frame);
  EXPECT_EQ(collect(&GetBufferDataFromPort, handle).rc, STATUS_OK);
}

TEST_F(LinkTest, BufferCountShowsWhatArrivedOnFailure) {
  device.push(input_report({0x20, 0x00, 0x72, 0x01, 0x05}));
  Collected c = collect(&GetBufferDataFromPort, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(c.count, 5);
  EXPECT_EQ(c.reply[0], 0xEE) << "the caller's buffer is untouched";
  EXPECT_EQ(fake::clock(), 10050u);
}

TEST_F(LinkTest, BufferMoreThan6000BytesIsAFailure) {
  const Bytes frame = buffer_frame(0x03, 1, 55);  // 62 bytes
  ASSERT_EQ(frame.size(), 62u);
  for (int i = 0; i < 200; ++i) device.push(input_report(frame));
  Collected c = collect(&GetBufferDataFromPort, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(c.count, static_cast<int>((6000 / 62 + 1) * 62));
  EXPECT_EQ(c.reply[0], 0xEE);
}

// ---- GetDataFromPort_buff --------------------------------------------------------

TEST_F(LinkTest, ByLengthCompletesOnTheLengthByteAlone) {
  Bytes frame = frame_of_size(80, 0, 0x18);
  frame.back() ^= 0xFF;  // no CRC test here; the caller makes it
  device.push_stream(frame, {30});
  Collected c = collect(&GetDataFromPort_buff, handle);
  ASSERT_EQ(c.rc, STATUS_OK);
  EXPECT_EQ(c.count, 80);
  EXPECT_EQ(head(c.reply, 80), frame);
}

TEST_F(LinkTest, ByLengthNeedsAFirstByteAboveThree) {
  device.push(input_report({0x03, 0x00, 0x18, 0x05}));
  Collected c = collect(&GetDataFromPort_buff, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_EQ(c.count, 4) << "partial bytes stay, with their number";
  EXPECT_EQ(head(c.reply, 5), (Bytes{0x03, 0x00, 0x18, 0x05, 0xEE}));
  EXPECT_EQ(fake::clock(), 6050u);
}

TEST_F(LinkTest, ByLengthStopsBefore6000Bytes) {
  device.push(input_report(Bytes(10, 0x05)));
  for (int i = 0; i < 200; ++i) device.push(input_report(Bytes(62, 0x05)));
  Collected c = collect(&GetDataFromPort_buff, handle);
  EXPECT_EQ(c.rc, STATUS_COMM_ERROR);
  EXPECT_LE(c.count, 6000);
  EXPECT_EQ(c.count, 10 + 96 * 62);
}

}  // namespace
}  // namespace velkor::test
