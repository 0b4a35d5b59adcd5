// Gen2 inventories: request frames, the walk over multi-frame replies, and
// what each outcome writes.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/link_fixture.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

// ---------------------------------------------------------------- requests

struct InventoryArgs {
  unsigned char param0 = 0, param1 = 0;
  unsigned char mask_mem = 0x01;
  unsigned char mask_addr[2] = {0x20, 0x00};
  unsigned char mask_len = 0;
  unsigned char mask_flag = 0;
  unsigned char tid_addr = 0x02, tid_len = 0x06, tid_flag = 0;
  unsigned char trail[3] = {0x07, 0x08, 0x09};
  unsigned char trail_flag = 0;
};

Bytes mask_bytes() {
  Bytes m;
  for (int i = 0; i < 32; ++i) m.push_back(static_cast<std::uint8_t>(0xA0 + i));
  return m;
}

int inventory(const InventoryArgs &a, VelkorHandle handle) {
  unsigned char address = 0x00, list[6000], frame4 = 0;
  Bytes mask = mask_bytes();
  int total = 0, count = 0;
  unsigned char mask_addr[2] = {a.mask_addr[0], a.mask_addr[1]};
  return Inventory_G2(&address, a.param0, a.param1, a.mask_mem, mask_addr, a.mask_len,
                      mask.data(), a.mask_flag, a.tid_addr, a.tid_len, a.tid_flag,
                      a.trail[0], a.trail[1], a.trail[2], a.trail_flag, list, &frame4,
                      &total, &count, handle);
}

struct RequestCase {
  const char *name;
  InventoryArgs args;
  Bytes body;  // the frame without CRC
};

class InventoryRequest : public LinkTest, public ::testing::WithParamInterface<RequestCase> {};

TEST_P(InventoryRequest, FollowsTheBeginReport) {
  device.push_stream(reply_frame(0x00, 0x01, 0xFB, {0x00, 0x00}));
  EXPECT_EQ(inventory(GetParam().args, handle), 0xFB);
  ASSERT_GE(device.written.size(), 2u);
  EXPECT_EQ(device.written[0][0], 0x03);
  EXPECT_EQ(device.written[0][1], CTRL_BEGIN) << "the begin report comes first";
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], with_crc(GetParam().body));
  EXPECT_EQ(frames()[0][0] + 1u, frames()[0].size());
}

Bytes with_mask(Bytes head, std::size_t n, Bytes tail = {}) {
  const Bytes m = mask_bytes();
  head.insert(head.end(), m.begin(), m.begin() + static_cast<std::ptrdiff_t>(n));
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

INSTANTIATE_TEST_SUITE_P(
    Groups, InventoryRequest,
    ::testing::Values(
        RequestCase{"no_group", {}, {0x06, 0x00, 0x01, 0x00, 0x00}},
        RequestCase{"trailing", {.param0 = 4, .param1 = 1, .trail_flag = 1},
                    {0x09, 0x00, 0x01, 0x04, 0x01, 0x07, 0x08, 0x09}},
        RequestCase{"tid", {.tid_flag = 1}, {0x08, 0x00, 0x01, 0x00, 0x00, 0x02, 0x06}},
        RequestCase{"tid_and_trailing", {.tid_flag = 1, .trail_flag = 1},
                    {0x0B, 0x00, 0x01, 0x00, 0x00, 0x02, 0x06, 0x07, 0x08, 0x09}},
        RequestCase{"mask_of_0_bits", {.mask_len = 0, .mask_flag = 1},
                    {0x0A, 0x00, 0x01, 0x00, 0x00, 0x01, 0x20, 0x00, 0x00}},
        RequestCase{"mask_of_9_bits", {.mask_len = 9, .mask_flag = 1},
                    with_mask({0x0C, 0x00, 0x01, 0x00, 0x00, 0x01, 0x20, 0x00, 0x09}, 2)},
        RequestCase{"mask_of_255_bits", {.mask_len = 255, .mask_flag = 1},
                    with_mask({0x2A, 0x00, 0x01, 0x00, 0x00, 0x01, 0x20, 0x00, 0xFF}, 32)},
        RequestCase{"mask_and_tid", {.mask_len = 8, .mask_flag = 1, .tid_flag = 1},
                    with_mask({0x0D, 0x00, 0x01, 0x00, 0x00, 0x01, 0x20, 0x00, 0x08}, 1,
                              {0x02, 0x06})},
        RequestCase{"mask_and_trailing", {.mask_len = 16, .mask_flag = 1, .trail_flag = 1},
                    with_mask({0x0F, 0x00, 0x01, 0x00, 0x00, 0x01, 0x20, 0x00, 0x10}, 2,
                              {0x07, 0x08, 0x09})},
        RequestCase{"all_groups_longest",
                    {.mask_len = 255, .mask_flag = 1, .tid_flag = 1, .trail_flag = 1},
                    with_mask({0x2F, 0x00, 0x01, 0x00, 0x00, 0x01, 0x20, 0x00, 0xFF}, 32,
                              {0x02, 0x06, 0x07, 0x08, 0x09})},
        RequestCase{"flags_of_2_send_nothing",
                    {.mask_len = 16, .mask_flag = 2, .tid_flag = 2, .trail_flag = 2},
                    {0x06, 0x00, 0x01, 0x00, 0x00}},
        RequestCase{"flags_of_255_send_nothing",
                    {.mask_len = 16, .mask_flag = 0xFF, .tid_flag = 0xFF, .trail_flag = 0xFF},
                    {0x06, 0x00, 0x01, 0x00, 0x00}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LinkTest, InventoryToAddressZeroIsTheKnownFrame) {
  device.push_stream(reply_frame(0x00, 0x01, 0xFB, {0x00, 0x00}));
  inventory({}, handle);
  EXPECT_EQ(frames()[0], (Bytes{0x06, 0x00, 0x01, 0x00, 0x00, 0xCC, 0x51}));
}

TEST_F(LinkTest, FastInventoryPutsTheInOutByteFourth) {
  device.push_stream(reply_frame(0x00, 0x00, 0xFB, {0x00, 0x00}));
  unsigned char address = 0x03, p3 = 0x44, list[8];
  int total = 0, count = 0;
  EXPECT_EQ(Fast_EPC_Inventory_G2(&address, 0x11, 0x22, 0x33, 0x55, &p3, list, &total,
                                  &count, handle),
            0xFB);
  EXPECT_EQ(frames(), (std::vector<Bytes>{with_crc({0x09, 0x03, 0x00, 0x11, 0x22, 0x33,
                                                    0x44, 0x55})}));
  EXPECT_EQ(device.controls().front(), CTRL_POLL) << "no begin report";
  EXPECT_EQ(address, 0x03);
}

TEST_F(LinkTest, SingleTagInventoryToAddressZeroIsTheKnownFrame) {
  device.push_stream(reply_frame(0x00, 0x0F, 0xFB));
  unsigned char address = 0x00, data[16];
  int frame4 = 0;
  SingleTagInventory_G2(&address, data, nullptr, &frame4, handle);
  EXPECT_EQ(frames(), (std::vector<Bytes>{{0x04, 0x00, 0x0F, 0xA5, 0xA2}}));
}

// ---------------------------------------------------------------- replies

Bytes inv_frame(std::uint8_t status, std::uint8_t byte4, std::uint8_t tags, std::size_t n,
                std::uint8_t fill, std::uint8_t echo = 0x01) {
  // Filled in place: GCC 12 at -O3 misreads an insert after a two-byte
  // initializer as an out-of-bounds copy.
  Bytes d(2 + n, fill);
  d[0] = byte4;
  d[1] = tags;
  return reply_frame(0x00, echo, status, d);
}

// Both multi-frame inventories, run the same way.
struct Results {
  int result = 0;
  Bytes list = Bytes(6000, 0xEE);
  unsigned char frame4 = 0xEE;
  int total = -7;
  int count = -7;
};

using Runner = std::function<void(Results &, VelkorHandle)>;

struct RunnerCase {
  const char *name;
  Runner run;
};

class MultiFrame : public LinkTest, public ::testing::WithParamInterface<RunnerCase> {
 protected:
  Results run(const Bytes &stream, std::vector<std::size_t> sizes = {}) {
    device.push_stream(stream, std::move(sizes));
    Results r;
    GetParam().run(r, handle);
    return r;
  }
};

TEST_P(MultiFrame, ThreeThenOneGiveOneListInFrameOrder) {
  const Bytes stream = concat({inv_frame(0x03, 0x11, 2, 24, 0xA1), inv_frame(0x01, 0x22, 1, 12, 0xB2)});
  for (std::vector<std::size_t> sizes : {std::vector<std::size_t>{}, {2}, {7}, {33, 5}}) {
    fake::reset();
    handle = fake::attach(device = ScriptedDevice{});
    Results r = run(stream, sizes);
    EXPECT_EQ(r.result, 0x01);
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.total, 36);
    EXPECT_EQ(r.frame4, 0x22) << "the final frame's byte 4";
    EXPECT_EQ(Bytes(r.list.begin(), r.list.begin() + 36),
              concat({Bytes(24, 0xA1), Bytes(12, 0xB2)}));
    EXPECT_EQ(r.list[36], 0xEE) << "nothing past the total length";
  }
}

TEST_P(MultiFrame, FramesOfOtherStatusesAreSteppedOver) {
  for (std::uint8_t between : {0xFA, 0x00}) {
    Results r = run(concat({inv_frame(0x03, 0x11, 2, 24, 0xA1), inv_frame(between, 0x99, 7, 5, 0xCC),
                            inv_frame(0x01, 0x22, 1, 12, 0xB2)}));
    EXPECT_EQ(r.result, 0x01);
    EXPECT_EQ(r.count, 3);
    EXPECT_EQ(r.total, 36);
    EXPECT_EQ(r.frame4, 0x22);
    EXPECT_EQ(Bytes(r.list.begin(), r.list.begin() + 36),
              concat({Bytes(24, 0xA1), Bytes(12, 0xB2)}));
  }
}

TEST_P(MultiFrame, ALoneNoTagFrameLeavesListAndByteFourAlone) {
  Results r = run(reply_frame(0x00, 0x01, 0xFB, {0x05, 0x00}));
  EXPECT_EQ(r.result, 0xFB);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.total, 0);
  EXPECT_EQ(r.frame4, 0xEE);
  EXPECT_EQ(r.list[0], 0xEE);
}

TEST_P(MultiFrame, AFinalErrorStatusKeepsWhatEarlierFramesGave) {
  Results r = run(concat({inv_frame(0x02, 0x11, 2, 10, 0xA1), inv_frame(0xF8, 0x77, 3, 4, 0xCC)}));
  EXPECT_EQ(r.result, 0xF8);
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(r.total, 10);
  EXPECT_EQ(r.frame4, 0x11);
}

TEST_P(MultiFrame, EchoAndFrameContentsAreNotTested) {
  Results r = run(concat({inv_frame(0x04, 0x11, 1, 3, 0xA1, 0x99), inv_frame(0x01, 0x22, 1, 2, 0xB2, 0x42)}));
  EXPECT_EQ(r.result, 0x01);
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(r.total, 5);
}

TEST_P(MultiFrame, AnAcceptedFrameTooShortForItsFieldsGivesNothing) {
  // Status 3 with a length byte of 5 has no byte 4, tag count or data.
  Results r = run(concat({reply_frame(0x00, 0x01, 0x03), inv_frame(0x03, 0x11, 0, 0, 0),
                          inv_frame(0x01, 0x22, 1, 4, 0xB2)}));
  EXPECT_EQ(r.result, 0x01);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.total, 4);
  EXPECT_EQ(Bytes(r.list.begin(), r.list.begin() + 5), (Bytes{0xB2, 0xB2, 0xB2, 0xB2, 0xEE}));
}

TEST_P(MultiFrame, NoFinalFrameInTimeZeroesOnlyTheTagCount) {
  Results r = run(inv_frame(0x03, 0x11, 2, 24, 0xA1));
  EXPECT_EQ(r.result, STATUS_COMM_ERROR);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.total, -7);
  EXPECT_EQ(r.frame4, 0xEE);
  EXPECT_EQ(r.list[0], 0xEE);
}

INSTANTIATE_TEST_SUITE_P(
    Inventories, MultiFrame,
    ::testing::Values(
        RunnerCase{"Inventory_G2",
                   [](Results &r, VelkorHandle h) {
                     unsigned char address = 0x00, mask_addr[2] = {}, mask[1] = {};
                     r.result = Inventory_G2(&address, 0, 0, 0, mask_addr, 0, mask, 0, 0, 0, 0,
                                             0, 0, 0, 0, r.list.data(), &r.frame4, &r.total,
                                             &r.count, h);
                   }},
        RunnerCase{"Fast_EPC_Inventory_G2",
                   [](Results &r, VelkorHandle h) {
                     unsigned char address = 0x00;
                     r.result = Fast_EPC_Inventory_G2(&address, 0, 0, 0, 0, &r.frame4,
                                                      r.list.data(), &r.total, &r.count, h);
                   }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(InventoryHandles, InvalidHandleWritesOnlyWhatEachInventoryPromises) {
  fake::reset();
  Results full, fast;
  unsigned char address = 0x00, mask_addr[2] = {}, mask[1] = {};
  full.result = Inventory_G2(&address, 0, 0, 0, mask_addr, 0, mask, 0, 0, 0, 0, 0, 0, 0, 0,
                             full.list.data(), &full.frame4, &full.total, &full.count,
                             VELKOR_INVALID_HANDLE);
  EXPECT_EQ(full.result, STATUS_COMM_ERROR) << "the begin report cannot be written";
  EXPECT_EQ(full.count, -7) << "left as it was";
  fast.result = Fast_EPC_Inventory_G2(&address, 0, 0, 0, 0, &fast.frame4, fast.list.data(),
                                      &fast.total, &fast.count, VELKOR_INVALID_HANDLE);
  EXPECT_EQ(fast.result, STATUS_INVALID_HANDLE);
  EXPECT_EQ(fast.count, 0) << "zeroed by the collector";
  EXPECT_EQ(fast.total, -7);
  EXPECT_EQ(fast.frame4, 0xEE);
}

// ---------------------------------------------------------------- single tag

struct Single {
  unsigned char address = 0x00;
  Bytes data = Bytes(32, 0xEE);
  int frame4 = -7;
};

TEST_F(LinkTest, SingleTagInventoryWritesItsOutputsOnStatusOne) {
  device.push_stream(reply_frame(0x09, 0x0F, 0x01, {0x02, 0x04, 0xE2, 0x00, 0x12, 0x34}));
  Single s;
  int reserved = 99;
  EXPECT_EQ(SingleTagInventory_G2(&s.address, s.data.data(), &reserved, &s.frame4, handle), 0x01);
  EXPECT_EQ(s.address, 0x09);
  EXPECT_EQ(s.frame4, 0x02);
  EXPECT_EQ(Bytes(s.data.begin(), s.data.begin() + 6), (Bytes{0x04, 0xE2, 0x00, 0x12, 0x34, 0xEE}));
  EXPECT_EQ(reserved, 99);
}

TEST_F(LinkTest, SingleTagInventoryWritesNothingOnAnyOtherStatus) {
  for (std::uint8_t status : {0x00, 0x02, 0xFB}) {
    device.push_stream(reply_frame(0x09, 0x0F, status, {0x02, 0x04, 0xE2, 0x00, 0x12, 0x34}));
    Single s;
    EXPECT_EQ(SingleTagInventory_G2(&s.address, s.data.data(), nullptr, &s.frame4, handle), status);
    EXPECT_EQ(s.address, 0x00);
    EXPECT_EQ(s.frame4, -7);
    EXPECT_EQ(s.data[0], 0xEE);
  }
}

TEST_F(LinkTest, SingleTagInventoryTestsCrcAndEcho) {
  Bytes bad = reply_frame(0x09, 0x0F, 0x01, {0x02, 0x01, 0xAA});
  bad.back() ^= 0x01;
  device.push_stream(bad);
  device.silent = true;
  Single s;
  EXPECT_EQ(SingleTagInventory_G2(&s.address, s.data.data(), nullptr, &s.frame4, handle),
            STATUS_COMM_ERROR) << "the collector waits for a good CRC";
  device.silent = false;
  device.push_stream(reply_frame(0x09, 0x01, 0x01, {0x02, 0x01, 0xAA}));
  EXPECT_EQ(SingleTagInventory_G2(&s.address, s.data.data(), nullptr, &s.frame4, handle),
            STATUS_COMMAND_MISMATCH);
  EXPECT_EQ(s.frame4, -7);
  EXPECT_EQ(SingleTagInventory_G2(&s.address, s.data.data(), nullptr, &s.frame4,
                                  VELKOR_INVALID_HANDLE),
            STATUS_INVALID_HANDLE);
}

TEST_F(LinkTest, SingleTagInventoryOfAShortReplyCopiesNoData) {
  device.push_stream(reply_frame(0x09, 0x0F, 0x01));  // length byte 5: no byte 4
  Single s;
  EXPECT_EQ(SingleTagInventory_G2(&s.address, s.data.data(), nullptr, &s.frame4, handle), 0x01);
  EXPECT_EQ(s.data[0], 0xEE);
}

}  // namespace
}  // namespace velkor::test
