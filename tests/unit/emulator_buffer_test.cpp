// The emulated reader's tag buffer, filled, counted, read back and cleared
// through the library.
#include <gtest/gtest.h>

#include "tests/support/emulated_device.h"
#include "tests/support/scripted_device.h"
#include "velkor.h"

namespace velkor::test {
namespace {

struct Counts {
  int in_buffer = -1;
  int seen = -1;
};

class EmulatedBuffer : public EmulatorTest {
 protected:
  Counts inventory(const Bytes &mask = {}, unsigned char bank = 1,
                   unsigned char bit_address = 0x20) {
    unsigned char mask_addr[2] = {0x00, bit_address};
    Bytes bits = mask;
    Counts c;
    EXPECT_EQ(InventoryBuffer_G2(&address, 0x04, 0x00, bank, mask_addr,
                                 static_cast<unsigned char>(8 * mask.size()), bits.data(),
                                 mask.empty() ? 0 : 1, 0, 0, 0, 0, 0, 0, 0, &c.in_buffer,
                                 &c.seen, handle),
              STATUS_OK);
    return c;
  }
  int count() {
    int n = -1;
    EXPECT_EQ(GetBufferCnt_G2(&address, &n, handle), STATUS_OK);
    return n;
  }
  /// The EPCs read back, decoded from their length-prefixed records.
  std::vector<Bytes> read_back(int *tag_count = nullptr) {
    std::vector<unsigned char> list(6000, 0xEE);
    int total = -1, tags = -1;
    EXPECT_EQ(ReadBuffer_G2(&address, &total, &tags, list.data(), handle), 0x01);
    if (tag_count) *tag_count = tags;
    std::vector<Bytes> epcs;
    for (int at = 0; at < total; at += 1 + list[at])
      epcs.emplace_back(list.begin() + at + 1, list.begin() + at + 1 + list[at]);
    return epcs;
  }
  std::vector<Bytes> epcs() {
    std::vector<Bytes> all;
    for (const emu::Gen2Tag &t : reader().tags.gen2) all.push_back(t.epc());
    return all;
  }
};

TEST_F(EmulatedBuffer, InventoryCountReadBackAndClear) {
  int tags = -1;
  EXPECT_TRUE(read_back(&tags).empty());
  EXPECT_EQ(tags, 0);

  const Counts first = inventory();
  EXPECT_EQ(first.in_buffer, 5);
  EXPECT_EQ(first.seen, 5);
  const Counts again = inventory();
  EXPECT_EQ(again.in_buffer, 5) << "a tag seen again is not added twice";
  EXPECT_EQ(again.seen, 5);
  EXPECT_EQ(count(), 5);
  EXPECT_EQ(read_back(&tags), epcs());
  EXPECT_EQ(tags, 5);
  EXPECT_EQ(count(), 5) << "reading does not empty the buffer";

  EXPECT_EQ(ClearBuffer_G2(&address, handle), STATUS_OK);
  EXPECT_EQ(count(), 0);
  EXPECT_TRUE(read_back().empty());
}

TEST_F(EmulatedBuffer, HiddenTagsAndTheMaskAreHonoured) {
  reader().tags.gen2[1].privacy = true;
  reader().tags.gen2[2].killed = true;
  EXPECT_EQ(inventory().seen, 3);
  EXPECT_EQ(ClearBuffer_G2(&address, handle), STATUS_OK);

  // The whole EPC of tag 3, from bit 0x20 of the EPC bank on.
  const Counts masked = inventory(reader().tags.gen2[3].epc());
  EXPECT_EQ(masked.seen, 1);
  EXPECT_EQ(read_back(), std::vector<Bytes>{reader().tags.gen2[3].epc()});
  EXPECT_EQ(inventory({0x00}, 1, 0xF0).seen, 0) << "a mask past the bank matches nothing";
}

TEST_F(EmulatedBuffer, SaveLengthCutsTheRecordsAndHasARange) {
  unsigned char save = 0;
  EXPECT_EQ(SetSaveLen(&address, 4, handle), STATUS_OK);
  EXPECT_EQ(GetSaveLen(&address, &save, handle), STATUS_OK);
  EXPECT_EQ(save, 4);
  for (unsigned char refused : {0, 63, 255}) {
    EXPECT_EQ(SetSaveLen(&address, refused, handle), 0xFF) << int{refused};
  }
  EXPECT_EQ(GetSaveLen(&address, &save, handle), STATUS_OK);
  EXPECT_EQ(save, 4);

  inventory();
  for (const Bytes &epc : read_back()) EXPECT_EQ(epc.size(), 4u);
}

TEST(EmulatedBufferFrames, ALargeBufferReadsBackInFramesOfAtMost256Bytes) {
  emu::Reader reader({.gen2_tags = 40});
  reader.handle({0x00, 0x18, {0x04, 0x00}});
  const emu::Response response = reader.handle({0x00, 0x72, {}});
  ASSERT_EQ(response.frames.size(), 3u);
  std::size_t tags = 0;
  for (std::size_t i = 0; i < response.frames.size(); ++i) {
    const emu::ReplyFrame &f = response.frames[i];
    EXPECT_EQ(f.status, i + 1 == response.frames.size() ? 0x01 : 0x03);
    EXPECT_LE(f.data.size() + 6, 256u);
    tags += f.data[0];
  }
  EXPECT_EQ(tags, 40u);
}

TEST_F(EmulatedBuffer, ALargeBufferReadsBackWholeAcrossFrames) {
  emu::Rng rng(7);
  for (int i = 0; i < 35; ++i) reader().tags.gen2.push_back(emu::make_gen2_tag(rng));
  EXPECT_EQ(inventory().in_buffer, 40);
  int tags = 0;
  EXPECT_EQ(read_back(&tags), epcs());
  EXPECT_EQ(tags, 40);
}

}  // namespace
}  // namespace velkor::test
