// Output reports and the poll step.
#include <gtest/gtest.h>

#include "link/report.h"
#include "tests/support/link_fixture.h"

namespace velkor::test {
namespace {

fake::Report report_of(std::initializer_list<std::uint8_t> head) {
  fake::Report r{};
  std::copy(head.begin(), head.end(), r.begin());
  return r;
}

struct SendCase {
  const char *name;
  Bytes input;
  fake::Report expected;
};

class SendData : public LinkTest,
                 public ::testing::WithParamInterface<SendCase> {};

TEST_P(SendData, WritesExactlyTheExpectedReport) {
  Bytes input = GetParam().input;
  EXPECT_EQ(SendDataToPort(input.data(), static_cast<unsigned>(input.size()), handle), 1);
  ASSERT_EQ(device.written.size(), 1u);
  EXPECT_EQ(device.written[0], GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, SendData,
    ::testing::Values(
        SendCase{"poll", {0x03, 0x0A}, report_of({0x03, 0x0A})},
        SendCase{"ack", {0x03, 0x01}, report_of({0x03, 0x01})},
        SendCase{"begin", {0x03, 0x0F}, report_of({0x03, 0x0F})},
        SendCase{"unnamed", {0x03, 0x21}, report_of({0x03, 0x21})},
        SendCase{"to_hid", {0x03, 0xA0}, report_of({0x03, 0xA0})},
        SendCase{"not_a_code", {0x03, 0x02}, report_of({0x02, 0x02, 0x03, 0x02})},
        SendCase{"lone_report_id", {0x03}, report_of({0x02, 0x01, 0x03})},
        SendCase{"five_byte_frame",
                 {0x04, 0x00, 0x21, 0xD9, 0x6A},
                 report_of({0x02, 0x05, 0x04, 0x00, 0x21, 0xD9, 0x6A})},
        SendCase{"raw_byte", {0xA5}, report_of({0x02, 0x01, 0xA5})},
        SendCase{"empty", {}, report_of({0x02, 0x00})}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LinkTest, ControlInputIsSentUntouchedUpTo64Bytes) {
  Bytes input(64, 0x55);
  input[0] = 0x03;
  input[1] = 0x0F;
  EXPECT_EQ(SendDataToPort(input.data(), 64, handle), 1);
  ASSERT_EQ(device.written.size(), 1u);
  EXPECT_TRUE(std::equal(input.begin(), input.end(), device.written[0].begin()));
}

TEST_F(LinkTest, OversizedInputIsRefusedWithoutWriting) {
  Bytes frame(63, 0x11);
  EXPECT_EQ(SendDataToPort(frame.data(), 63, handle), 0);
  Bytes control(65, 0);
  control[0] = 0x03;
  control[1] = 0x0A;
  EXPECT_EQ(SendDataToPort(control.data(), 65, handle), 0);
  EXPECT_TRUE(device.written.empty());

  Bytes largest(62, 0x22);
  EXPECT_EQ(SendDataToPort(largest.data(), 62, handle), 1);
  EXPECT_EQ(device.written.back()[1], 62);
  EXPECT_EQ(device.written.back()[63], 0x22);
}

TEST_F(LinkTest, InvalidHandleWritesNothing) {
  Bytes frame = {0x04, 0x00, 0x21, 0xD9, 0x6A};
  EXPECT_EQ(SendDataToPort(frame.data(), 5, VELKOR_INVALID_HANDLE), 0);
  EXPECT_TRUE(device.written.empty());
}

TEST_F(LinkTest, RefusedWriteReturnsZero) {
  device.refused_writes = {0};
  Bytes frame = {0x04, 0x00, 0x21, 0xD9, 0x6A};
  EXPECT_EQ(SendDataToPort(frame.data(), 5, handle), 0);
  EXPECT_EQ(fake::clock(), 50u) << "a write left pending is given up after 50 ms";
}

// --- the poll step -------------------------------------------------------

TEST_F(LinkTest, PollCyclePollsReadsPausesAndAcknowledges) {
  fake::set_clock(1000);
  device.push(input_report({0x11, 0x22, 0x33}));
  std::uint8_t payload[62] = {};
  int count = -1;
  EXPECT_EQ(PollReport(payload, &count, handle), STATUS_OK);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(payload[0], 0x11);
  EXPECT_EQ(payload[2], 0x33);
  EXPECT_EQ(device.controls(), (std::vector<std::uint8_t>{CTRL_POLL, CTRL_ACK}));
  EXPECT_EQ(device.written[0], report_of({0x03, 0x0A}));
  EXPECT_EQ(device.written[1], report_of({0x03, 0x01}));
  EXPECT_EQ(fake::clock(), 1050u) << "one 50 ms pause per cycle";
}

struct PollCase {
  const char *name;
  fake::Report input;
  int expected_count;
};

class PollPayload : public LinkTest,
                    public ::testing::WithParamInterface<PollCase> {};

TEST_P(PollPayload, YieldsTheExpectedCount) {
  device.push(GetParam().input);
  std::uint8_t payload[62] = {};
  int count = -1;
  EXPECT_EQ(PollReport(payload, &count, handle), STATUS_OK);
  EXPECT_EQ(count, GetParam().expected_count);
}

INSTANTIATE_TEST_SUITE_P(
    Payloads, PollPayload,
    ::testing::Values(
        PollCase{"empty", input_report({}), 0},
        PollCase{"all_zero_bytes_are_dropped", input_report({0, 0, 0}), 0},
        PollCase{"one_non_zero_keeps_all", input_report({0, 0, 7}), 3},
        PollCase{"full", input_report(Bytes(62, 0x5A)), 62},
        PollCase{"count_63_is_not_honoured", input_report(Bytes(62, 0x5A), 63), 0},
        PollCase{"count_255_is_not_honoured", input_report(Bytes(62, 0x5A), 255), 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LinkTest, PollFailures) {
  std::uint8_t payload[62];
  int count = 42;

  device.refused_writes = {0};  // the poll report
  EXPECT_EQ(PollReport(payload, &count, handle), STATUS_COMM_ERROR);
  EXPECT_EQ(count, 42) << "count untouched when the poll is not written";
  EXPECT_EQ(device.reads, 0u);

  device.refused_writes = {};
  device.push_nothing();
  const std::uint32_t before = fake::clock();
  EXPECT_EQ(PollReport(payload, &count, handle), STATUS_COMM_ERROR);
  EXPECT_EQ(count, 0) << "count cleared when the read fails";
  EXPECT_EQ(fake::clock() - before, 150u) << "100 ms read limit, then the pause";
  EXPECT_EQ(device.controls().back(), CTRL_POLL) << "no acknowledgement";

  count = 42;
  device.refused_writes = {device.written.size() + 1};  // the next ack
  device.push(input_report({1, 2}));
  EXPECT_EQ(PollReport(payload, &count, handle), STATUS_COMM_ERROR);
  EXPECT_EQ(count, 42);
}

}  // namespace
}  // namespace velkor::test
