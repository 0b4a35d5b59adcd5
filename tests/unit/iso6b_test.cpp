// ISO 18000-6B commands: frames on the wire, reply decoding and write-back
// rules.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "tests/support/link_fixture.h"
#include "velkor.h"

namespace velkor::test {
namespace {

constexpr int kUntouched = 0x5A5A5A5A;
constexpr std::uint8_t kId[8] = {1, 2, 3, 4, 5, 6, 7, 8};
constexpr std::uint8_t kAnswering = 0x09;  // the address replies come from

struct Outputs {
  unsigned char b[64];
  int number = kUntouched;
  int error = kUntouched;
  Outputs() { std::fill(std::begin(b), std::end(b), 0xEE); }
};

unsigned char *id() {
  static unsigned char bytes[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  return bytes;
}

Bytes ids(Bytes before, Bytes after = {}) {
  before.insert(before.end(), std::begin(kId), std::end(kId));
  before.insert(before.end(), after.begin(), after.end());
  return with_crc(before);
}

Bytes run(std::uint8_t from, std::size_t n) {
  Bytes b;
  for (std::size_t i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(from + i));
  return b;
}

struct Iso6bCase {
  const char *name;
  std::function<int(unsigned char *, Outputs &, VelkorHandle)> call;
  Bytes frame;  // to reader address 0x00
  std::uint8_t command;
  Bytes reply_data;
  Bytes bytes_on_success;             // leading output bytes after status 0
  std::optional<int> number_on_success;
  bool inventory;         // outputs and address whatever the status, no tag error
  bool address_on_error;  // address written back on a non-zero status
};

class Iso6b : public LinkTest, public ::testing::WithParamInterface<Iso6bCase> {
 protected:
  int call(std::uint8_t status, unsigned char &address, Outputs &out) {
    device.push_stream(reply_frame(kAnswering, GetParam().command, status, GetParam().reply_data));
    return GetParam().call(&address, out, handle);
  }
  void expect_outputs(const Outputs &out) {
    const Bytes &expected = GetParam().bytes_on_success;
    EXPECT_EQ(Bytes(out.b, out.b + expected.size()), expected);
    EXPECT_EQ(out.b[expected.size()], 0xEE) << "nothing past the outputs";
    EXPECT_EQ(out.number, GetParam().number_on_success.value_or(kUntouched));
  }
  void expect_no_outputs(const Outputs &out) {
    EXPECT_EQ(out.b[0], 0xEE);
    EXPECT_EQ(out.number, kUntouched);
  }
};

TEST_P(Iso6b, SendsItsFrameAlone) {
  unsigned char address = 0x00;
  Outputs out;
  call(0, address, out);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], GetParam().frame);
  EXPECT_EQ(device.written[0][0], 0x02) << "no control report ahead of the frame";
}

TEST_P(Iso6b, StatusZeroWritesAddressAndOutputs) {
  unsigned char address = 0x00;
  Outputs out;
  EXPECT_EQ(call(0, address, out), STATUS_OK);
  EXPECT_EQ(address, kAnswering);
  expect_outputs(out);
  EXPECT_EQ(out.error, GetParam().inventory ? kUntouched : -1);
}

TEST_P(Iso6b, TagErrorWritesTheErrorCode) {
  unsigned char address = 0x00;
  Outputs out;
  EXPECT_EQ(call(0xFC, address, out), 0xFC);
  EXPECT_EQ(address, GetParam().address_on_error ? kAnswering : 0x00);
  if (GetParam().inventory) {
    expect_outputs(out);
    EXPECT_EQ(out.error, kUntouched);
  } else {
    expect_no_outputs(out);
    EXPECT_EQ(out.error, GetParam().reply_data[0]);
  }
}

TEST_P(Iso6b, OtherStatusesWriteOnlyWhatTheVariantAllows) {
  unsigned char address = 0x00;
  Outputs out;
  EXPECT_EQ(call(0xFB, address, out), 0xFB);
  EXPECT_EQ(address, GetParam().address_on_error ? kAnswering : 0x00);
  if (GetParam().inventory)
    expect_outputs(out);
  else
    expect_no_outputs(out);
  EXPECT_EQ(out.error, kUntouched);
}

TEST_P(Iso6b, BadRepliesWriteNothing) {
  const std::pair<Bytes, int> replies[] = {
      {reply_frame(kAnswering, GetParam().command ^ 0x80, 0, GetParam().reply_data),
       STATUS_COMMAND_MISMATCH},
      // A damaged CRC never completes the reply.
      {Bytes{0x05, kAnswering, GetParam().command, 0x00, 0x12, 0x34}, STATUS_COMM_ERROR}};
  for (const auto &[reply, code] : replies) {
    device.push_stream(reply);
    unsigned char address = 0x00;
    Outputs out;
    EXPECT_EQ(GetParam().call(&address, out, handle), code);
    EXPECT_EQ(address, 0x00);
    expect_no_outputs(out);
    EXPECT_EQ(out.error, kUntouched);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Iso6b,
    ::testing::Values(
        Iso6bCase{"InventorySingle_6B",
                  [](unsigned char *a, Outputs &o, VelkorHandle h) {
                    return InventorySingle_6B(a, o.b, o.b + 1, h);
                  },
                  with_crc({0x04, 0x00, 0x50}), 0x50,
                  concat({{0x02}, run(0x11, 10)}), concat({{0x02}, run(0x11, 10)}),
                  std::nullopt, true, true},
        Iso6bCase{"InventoryMultiple_6B",
                  [](unsigned char *a, Outputs &o, VelkorHandle h) {
                    unsigned char word[8] = {0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38};
                    return InventoryMultiple_6B(a, 0x02, 0x08, 0xC0, word, o.b, o.b + 1,
                                                &o.number, h);
                  },
                  with_crc({0x0F, 0x00, 0x51, 0x02, 0x08, 0xC0, 0x31, 0x32, 0x33, 0x34,
                            0x35, 0x36, 0x37, 0x38}),
                  0x51, concat({{0x03, 0x02}, run(0x41, 16)}),
                  concat({{0x03}, run(0x41, 16)}), 2, true, true},
        Iso6bCase{"ReadData_6B",
                  [](unsigned char *a, Outputs &o, VelkorHandle h) {
                    return ReadData_6B(a, id(), 0x10, 4, o.b, &o.error, h);
                  },
                  ids({0x0E, 0x00, 0x52, 0x10}, {0x04}), 0x52, {0xA1, 0xA2, 0xA3, 0xA4},
                  {0xA1, 0xA2, 0xA3, 0xA4}, std::nullopt, false, true},
        Iso6bCase{"WriteData_6B",
                  [](unsigned char *a, Outputs &o, VelkorHandle h) {
                    unsigned char data[4] = {0xD1, 0xD2, 0xD3, 0xD4};
                    return WriteData_6B(a, id(), 0x10, data, 4, o.b, &o.error, h);
                  },
                  ids({0x11, 0x00, 0x53, 0x10}, {0xD1, 0xD2, 0xD3, 0xD4}), 0x53, {0x04},
                  {0x04}, std::nullopt, false, true},
        Iso6bCase{"Lock_6B",
                  [](unsigned char *a, Outputs &o, VelkorHandle h) {
                    return Lock_6B(a, id(), 0x20, &o.error, h);
                  },
                  ids({0x0D, 0x00, 0x55, 0x20}), 0x55, {0x03}, {}, std::nullopt, false,
                  true},
        Iso6bCase{"CheckLock_6B",
                  [](unsigned char *a, Outputs &o, VelkorHandle h) {
                    return CheckLock_6B(a, id(), 0x20, o.b, &o.error, h);
                  },
                  ids({0x0D, 0x00, 0x54, 0x20}), 0x54, {0x01}, {0x01}, std::nullopt, false,
                  false}),
    [](const auto &info) { return std::string(info.param.name); });

class Iso6bReplies : public LinkTest {
 protected:
  unsigned char address = 0x00;
  Outputs out;
};

TEST_F(Iso6bReplies, WriteDataFrameIsByteCountPlusFourteenBytes) {
  unsigned char data[4] = {};
  device.push_stream(reply_frame(0, 0x53, 0));
  WriteData_6B(&address, id(), 0, data, 4, out.b, &out.error, handle);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0].size(), 18u);
  EXPECT_EQ(frames()[0][0], 0x11);
}

TEST_F(Iso6bReplies, WriteDataOfMoreThanFortyEightBytesIsRefusedUnsent) {
  unsigned char data[255] = {};
  device.push_stream(reply_frame(0, 0x53, 0));
  EXPECT_EQ(WriteData_6B(&address, id(), 0, data, 48, out.b, &out.error, handle), STATUS_OK);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0].size(), 62u) << "48 bytes fill one report exactly";
  EXPECT_EQ(out.b[0], 48);

  for (unsigned count : {49u, 200u, 255u}) {
    device.written.clear();
    address = 0x00;
    Outputs refused;
    EXPECT_EQ(WriteData_6B(&address, id(), 0, data, static_cast<unsigned char>(count),
                           refused.b, &refused.error, handle),
              STATUS_PARAMETER_ERROR);
    EXPECT_TRUE(device.written.empty()) << count;
    EXPECT_EQ(refused.b[0], 0xEE);
    EXPECT_EQ(refused.error, kUntouched);
    EXPECT_EQ(address, 0x00);
  }
}

TEST_F(Iso6bReplies, MultipleInventoryListRunsFromByteSixToTheCrc) {
  // L = 14: frame byte 4, tag count, then 7 list bytes (reply bytes 6 to 12).
  device.push_stream(reply_frame(kAnswering, 0x51, 0x00, concat({{0x07, 0x01}, run(0x61, 7)})));
  unsigned char word[8] = {};
  ASSERT_EQ(InventoryMultiple_6B(&address, 0, 0, 0, word, out.b, out.b + 1, &out.number, handle),
            STATUS_OK);
  EXPECT_EQ(out.b[0], 0x07);
  EXPECT_EQ(out.number, 1);
  EXPECT_EQ(Bytes(out.b + 1, out.b + 8), run(0x61, 7));
  EXPECT_EQ(out.b[8], 0xEE) << "the CRC is not part of the list";
}

TEST_F(Iso6bReplies, MultipleInventoryWithLengthSixHasNoListAndNoCount) {
  device.push_stream(reply_frame(kAnswering, 0x51, 0x00, {0x07}));
  unsigned char word[8] = {};
  ASSERT_EQ(InventoryMultiple_6B(&address, 0, 0, 0, word, out.b, out.b + 1, &out.number, handle),
            STATUS_OK);
  EXPECT_EQ(out.b[0], 0x07);
  EXPECT_EQ(out.number, 0) << "the byte after frame byte 4 is the CRC, not a count";
  EXPECT_EQ(out.b[1], 0xEE);
}

TEST_F(Iso6bReplies, InventoriesWithoutDataWriteOnlyTheAddress) {
  unsigned char word[8] = {};
  device.push_stream(reply_frame(kAnswering, 0x50, 0xFB));
  EXPECT_EQ(InventorySingle_6B(&address, out.b, out.b + 1, handle), 0xFB);
  EXPECT_EQ(address, kAnswering);
  address = 0x00;
  device.push_stream(reply_frame(kAnswering, 0x51, 0xFB));
  EXPECT_EQ(InventoryMultiple_6B(&address, 0, 0, 0, word, out.b, out.b + 1, &out.number, handle),
            0xFB);
  EXPECT_EQ(address, kAnswering);
  EXPECT_EQ(out.b[0], 0xEE);
  EXPECT_EQ(out.number, kUntouched);
}

TEST_F(Iso6bReplies, SingleInventoryCopiesTenBytesWhateverTheLength) {
  const Bytes reply = reply_frame(kAnswering, 0x50, 0x00, {0x02, 0xAA, 0xBB, 0xCC});
  device.push_stream(reply);
  ASSERT_EQ(InventorySingle_6B(&address, out.b, out.b + 1, handle), STATUS_OK);
  // Bytes 5 to 14: the three data bytes, then zeros (the CRC is no data).
  const Bytes expected = {0xAA, 0xBB, 0xCC, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(Bytes(out.b + 1, out.b + 11), expected);
  EXPECT_EQ(out.b[11], 0xEE);
}

TEST_F(Iso6bReplies, ReadDataCopiesTheByteCountAskedFor) {
  // Byte count 0 copies nothing yet reports success.
  device.push_stream(reply_frame(kAnswering, 0x52, 0x00, {0x55}));
  EXPECT_EQ(ReadData_6B(&address, id(), 0, 0, out.b, &out.error, handle), STATUS_OK);
  EXPECT_EQ(out.b[0], 0xEE);
  EXPECT_EQ(out.error, -1);

  // A reply without data leaves the buffer alone.
  Outputs none;
  device.push_stream(reply_frame(kAnswering, 0x52, 0x00));
  EXPECT_EQ(ReadData_6B(&address, id(), 0, 4, none.b, &none.error, handle), STATUS_OK);
  EXPECT_EQ(none.b[0], 0xEE);
  EXPECT_EQ(none.error, -1);

  // More asked for than carried: the rest reads from the cleared reply.
  unsigned char more[256];
  std::fill(std::begin(more), std::end(more), 0xEE);
  device.push_stream(reply_frame(kAnswering, 0x52, 0x00, {0x55, 0x66}));
  EXPECT_EQ(ReadData_6B(&address, id(), 0, 255, more, &out.error, handle), STATUS_OK);
  EXPECT_EQ(more[0], 0x55);
  EXPECT_EQ(more[1], 0x66);
  EXPECT_EQ(more[254], 0x00);
  EXPECT_EQ(more[255], 0xEE) << "exactly the byte count";
}

}  // namespace
}  // namespace velkor::test
