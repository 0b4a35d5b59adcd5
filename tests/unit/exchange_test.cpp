// The standard exchange: frame building, checks, and the write-back variants.
#include <gtest/gtest.h>

#include <functional>

#include "protocol/exchange.h"
#include "tests/support/link_fixture.h"

namespace velkor::test {
namespace {

class Exchange : public LinkTest {
 protected:
  // Runs a command 0x2A with one output byte (reply data byte 0) under rules.
  int run(const Rules &rules) {
    Frame frame(&address, 0x2A);
    return exchange(frame, handle, rules, [&](const Reply &r) { output = r.data(0); });
  }
  std::uint8_t address = 0x00;
  std::uint8_t output = 0x5A;
};

TEST_F(Exchange, FrameCarriesLengthAddressCommandDataAndCrc) {
  address = 0x07;
  std::uint8_t pwd[4] = {1, 2, 3, 4};
  Frame frame(&address, 0x02);
  frame.u8(0x102).bytes(pwd, 4);
  ASSERT_TRUE(frame.close());
  const Bytes sent(frame.data(), frame.data() + frame.size());
  EXPECT_EQ(sent, with_crc({0x09, 0x07, 0x02, 0x02, 1, 2, 3, 4}));
}

TEST_F(Exchange, MaskGroupTakesCeilingOfBitsOverEight) {
  const std::uint8_t mask_addr[2] = {0x20, 0x00};
  const std::uint8_t bits[32] = {0xAB};
  for (auto [len, n] : {std::pair{0, 0}, {1, 1}, {8, 1}, {9, 2}, {255, 32}}) {
    Frame frame(&address, 0x3B);
    frame.mask({0x01, mask_addr, static_cast<std::uint8_t>(len), bits});
    ASSERT_TRUE(frame.close());
    EXPECT_EQ(frame.size(), 3u + 4u + n + 2u) << len << " bits";
    EXPECT_EQ(frame.data()[4], 0x20);
    EXPECT_EQ(frame.data()[5], 0x00);
  }
}

TEST_F(Exchange, AFrameThatCannotFitOneReportIsRefusedUnsent) {
  std::uint8_t big[60] = {};
  Frame frame(&address, 0x03);
  frame.bytes(big, 57);  // 3 + 57 + CRC = 62: fits
  EXPECT_TRUE(frame.close());

  Frame too_big(&address, 0x03);
  too_big.bytes(big, 58).u8(1);
  device.push_stream(reply_frame(0, 0x03, 0));
  EXPECT_EQ(exchange(too_big, handle, {}), STATUS_PARAMETER_ERROR);
  EXPECT_TRUE(device.written.empty());
}

TEST_F(Exchange, RawByteFrameIsSentAlone) {
  Frame frame = Frame::raw(&address, 0xA5);
  ASSERT_TRUE(frame.close());
  EXPECT_EQ(Bytes(frame.data(), frame.data() + frame.size()), Bytes{0xA5});
}

TEST_F(Exchange, SendsTheFrameThenPollsForTheReply) {
  device.push_stream(reply_frame(0x00, 0x2A, 0x00, {0x33}));
  EXPECT_EQ(run({}), STATUS_OK);
  EXPECT_EQ(frames(), std::vector<Bytes>{with_crc({0x04, 0x00, 0x2A})});
  EXPECT_EQ(device.controls(), (std::vector<std::uint8_t>{CTRL_POLL, CTRL_ACK}));
  EXPECT_EQ(output, 0x33);
}

TEST_F(Exchange, BeginReportPrecedesTheFrameAndItsFailureEndsTheCall) {
  device.push_stream(reply_frame(0x00, 0x2A, 0x00, {0x33}));
  EXPECT_EQ(run({.begin = true}), STATUS_OK);
  EXPECT_EQ(device.controls().front(), CTRL_BEGIN);
  EXPECT_EQ(device.written[1][0], 0x02) << "the frame right after the begin report";

  device.written.clear();
  device.refused_writes = {0};
  EXPECT_EQ(run({.begin = true}), STATUS_COMM_ERROR);
  EXPECT_EQ(device.written.size(), 1u) << "nothing after the refused begin report";
}

struct FailureCase {
  const char *name;
  Rules rules;
  std::function<void(ScriptedDevice &)> script;
  bool invalid_handle;
  int expected;
};

class ExchangeFailure : public Exchange,
                        public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ExchangeFailure, WritesNeitherOutputsNorAddress) {
  GetParam().script(device);
  address = 0x00;
  Frame frame(&address, 0x2A);
  const int rc =
      exchange(frame, GetParam().invalid_handle ? VELKOR_INVALID_HANDLE : handle,
               Rules{GetParam().rules},
               [&](const Reply &r) { output = r.data(0); });
  EXPECT_EQ(rc, GetParam().expected);
  EXPECT_EQ(address, 0x00);
  EXPECT_EQ(output, 0x5A);
}

Bytes corrupted(Bytes b) {
  b.back() ^= 0x80;
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ExchangeFailure,
    ::testing::Values(
        FailureCase{"silence", {.variant = kOutputsAlways},
                    [](ScriptedDevice &) {}, false, STATUS_COMM_ERROR},
        FailureCase{"invalid_handle", {.variant = kOutputsAlways},
                    [](ScriptedDevice &) {}, true, STATUS_INVALID_HANDLE},
        FailureCase{"wrong_echo", {.variant = kAddressAlways},
                    [](ScriptedDevice &d) {
                      d.push_stream(reply_frame(0x09, 0x2B, 0, {0x33}));
                    },
                    false, STATUS_COMMAND_MISMATCH},
        FailureCase{"bad_crc",
                    {.variant = kOutputsAlways, .collect = &GetDataFromPort_buff},
                    [](ScriptedDevice &d) {
                      d.push_stream(corrupted(reply_frame(0x09, 0x2A, 0, {0x33})));
                    },
                    false, STATUS_CRC_ERROR}),
    [](const auto &info) { return std::string(info.param.name); });

struct VariantCase {
  const char *name;
  Variant variant;
  std::uint8_t status;
  bool address_written;
  bool output_written;
};

class WriteBack : public Exchange,
                  public ::testing::WithParamInterface<VariantCase> {};

TEST_P(WriteBack, FollowsTheVariant) {
  const VariantCase &c = GetParam();
  device.push_stream(reply_frame(0x09, 0x2A, c.status, {0x33}));
  EXPECT_EQ(run({.variant = c.variant}), c.status);
  EXPECT_EQ(address, c.address_written ? 0x09 : 0x00);
  EXPECT_EQ(output, c.output_written ? 0x33 : 0x5A);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, WriteBack,
    ::testing::Values(
        VariantCase{"outputs_on_success_ok", kOutputsOnSuccess, 0x00, true, true},
        VariantCase{"outputs_on_success_fb", kOutputsOnSuccess, 0xFB, false, false},
        VariantCase{"address_always_ok", kAddressAlways, 0x00, true, false},
        VariantCase{"address_always_fe", kAddressAlways, 0xFE, true, false},
        VariantCase{"no_address_ok", kNoAddress, 0x00, false, true},
        VariantCase{"no_address_fb", kNoAddress, 0xFB, false, false},
        VariantCase{"status_only_ok", kStatusOnly, 0x00, false, false},
        VariantCase{"status_only_fb", kStatusOnly, 0xFB, false, false},
        VariantCase{"outputs_always_ok", kOutputsAlways, 0x00, false, true},
        VariantCase{"outputs_always_fe", kOutputsAlways, 0xFE, false, true}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Exchange, TagErrorCodeFollowsTheStatus) {
  struct {
    std::uint8_t status;
    int expected;
  } cases[] = {{0x00, -1}, {0xFC, 0x0B}, {0xFB, 1234}, {0x01, 1234}};
  for (const auto &c : cases) {
    int tag_error = 1234;
    device.push_stream(reply_frame(0x00, 0x2A, c.status, {0x0B}));
    EXPECT_EQ(run({.variant = kNoAddress, .tag_error = &tag_error}), c.status);
    EXPECT_EQ(tag_error, c.expected) << "status " << int(c.status);
  }
}

TEST_F(Exchange, SuccessCanBeAnotherStatus) {
  device.push_stream(reply_frame(0x09, 0x2A, 0x00, {0x33}));
  EXPECT_EQ(run({.success = 1}), 0x00);
  EXPECT_EQ(output, 0x5A);
  device.push_stream(reply_frame(0x09, 0x2A, 0x01, {0x33}));
  EXPECT_EQ(run({.success = 1}), 0x01);
  EXPECT_EQ(output, 0x33);
  EXPECT_EQ(address, 0x09);
}

TEST_F(Exchange, EchoRules) {
  device.push_stream(reply_frame(0x00, 0xA5, 0x00, {0x33}));
  EXPECT_EQ(run({.alt_echo = 0xA5}), STATUS_OK) << "the second accepted echo";
  device.push_stream(reply_frame(0x00, 0xA6, 0x00, {0x33}));
  EXPECT_EQ(run({.alt_echo = 0xA5}), STATUS_COMMAND_MISMATCH);
  device.push_stream(reply_frame(0x00, 0xA6, 0x00, {0x33}));
  EXPECT_EQ(run({.check_echo = false}), STATUS_OK) << "no echo test";
}

TEST_F(Exchange, FieldsPastAShortReplyReadAsZero) {
  // A reply with one data byte: its CRC and the bytes past the frame read as
  // zero, never as data or as what a previous call left.
  auto read4 = [&](const Bytes &reply) {
    device.push_stream(reply);
    Frame frame(&address, 0x2A);
    Bytes out(4, 0xEE);
    EXPECT_EQ(exchange(frame, handle, {},
                       [&](const Reply &r) { r.copy_data(0, out.data(), 4); }),
              STATUS_OK);
    return out;
  };
  read4(reply_frame(0x00, 0x2A, 0x00, Bytes(20, 0x77)));
  const Bytes second = reply_frame(0x00, 0x2A, 0x00, {0x33});
  EXPECT_EQ(read4(second), (Bytes{0x33, 0x00, 0x00, 0x00}));
}

TEST(ReplyView, NeverReadsOutsideItsBuffer) {
  Reply reply;
  reply.buffer()[kReplyCapacity - 3] = 0x77;
  *reply.count_slot() = static_cast<int>(kReplyCapacity);
  EXPECT_EQ(reply.byte(kReplyCapacity - 3), 0x77);
  EXPECT_EQ(reply.byte(kReplyCapacity), 0);
  EXPECT_EQ(reply.data(kReplyCapacity), 0);
  std::uint8_t out[4] = {9, 9, 9, 9};
  reply.copy(kReplyCapacity - 4, out, 4);
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{0, 0x77, 0, 0})) << "the CRC bytes are no data";
  reply.copy(kReplyCapacity + 100, out, 4);
  EXPECT_EQ(Bytes(out, out + 4), (Bytes{0, 0, 0, 0}));
}

}  // namespace
}  // namespace velkor::test
