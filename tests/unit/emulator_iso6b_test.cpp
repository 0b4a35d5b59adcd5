// ISO 18000-6B tags in the emulated reader, seen through the library.
#include <gtest/gtest.h>

#include "tests/support/emulated_device.h"
#include "tests/support/scripted_device.h"
#include "velkor.h"

namespace velkor::test {
namespace {

class Emulated6b : public EmulatorTest {
 protected:
  emu::Iso6bTag &tag(std::size_t i) { return reader().tags.iso6b.at(i); }
  unsigned char *id(std::size_t i) { return tag(i).id.data(); }

  /// Runs a selective inventory and returns the identifiers it reported.
  std::vector<Bytes> select(unsigned char condition, unsigned char start,
                            unsigned char mask, Bytes word) {
    unsigned char frame4 = 0, list[256] = {};
    int count = -1;
    EXPECT_EQ(InventoryMultiple_6B(&address, condition, start, mask, word.data(), &frame4,
                                   list, &count, handle),
              STATUS_OK);
    std::vector<Bytes> found;
    for (int i = 0; i < count; ++i) found.emplace_back(list + 8 * i, list + 8 * i + 8);
    return found;
  }
  Bytes id_bytes(std::size_t i) { return Bytes(tag(i).id.begin(), tag(i).id.end()); }
};

TEST_F(Emulated6b, SingleInventoryReportsTheFirstTag) {
  unsigned char frame4 = 0, record[10] = {};
  tag(0).memory[8] = 0x4D;
  tag(0).memory[9] = 0x21;
  EXPECT_EQ(InventorySingle_6B(&address, &frame4, record, handle), STATUS_OK);
  EXPECT_EQ(frame4, reader().settings.antenna);
  EXPECT_EQ(Bytes(record, record + 8), id_bytes(0));
  EXPECT_EQ(record[8], 0x4D);
  EXPECT_EQ(record[9], 0x21);
}

TEST_F(Emulated6b, SingleInventoryWithNoTagInTheFieldIsAReaderStatus) {
  reader().tags.iso6b.clear();
  unsigned char frame4 = 0xEE, record[10] = {0xEE};
  reader().identity.address = 0x05;
  address = 0xFF;  // broadcast; the reply brings the reader's own address
  EXPECT_EQ(InventorySingle_6B(&address, &frame4, record, handle), 0xFB);
  EXPECT_EQ(address, 0x05);
  EXPECT_EQ(frame4, 0xEE);
  EXPECT_EQ(record[0], 0xEE);
}

TEST_F(Emulated6b, GroupSelectComparesTheMaskedBytes) {
  // Memory byte 0x20 tells the two tags apart; byte 0x21 differs too but is
  // masked out below.
  tag(0).memory[0x20] = 10;
  tag(1).memory[0x20] = 20;
  tag(0).memory[0x21] = 0xFF;
  const Bytes word = {15, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(select(2, 0x20, 0x80, word), std::vector<Bytes>{id_bytes(1)}) << "greater";
  EXPECT_EQ(select(3, 0x20, 0x80, word), std::vector<Bytes>{id_bytes(0)}) << "less";
  EXPECT_EQ(select(0, 0x20, 0x80, {20, 0, 0, 0, 0, 0, 0, 0}), std::vector<Bytes>{id_bytes(1)});
  EXPECT_EQ(select(1, 0x20, 0x80, {20, 0, 0, 0, 0, 0, 0, 0}), std::vector<Bytes>{id_bytes(0)});
  EXPECT_EQ(select(0, 0x00, 0xFF, id_bytes(0)), std::vector<Bytes>{id_bytes(0)}) << "by id";
  EXPECT_EQ(select(0, 0x00, 0x00, word).size(), 2u) << "an empty mask matches every tag";
  EXPECT_TRUE(select(0, 0xDC, 0xFF, word).empty()) << "bytes past the memory never match";

  unsigned char frame4, list[16];
  int count = -1;
  EXPECT_EQ(InventoryMultiple_6B(&address, 4, 0, 0, id(0), &frame4, list, &count, handle), 0xFF)
      << "unknown condition";
}

TEST_F(Emulated6b, WriteReadLockAndCheck) {
  unsigned char data[4] = {0xC1, 0xC2, 0xC3, 0xC4}, back[4] = {}, written = 0, state = 0xEE;
  int error = 0;
  EXPECT_EQ(WriteData_6B(&address, id(1), 0x30, data, 4, &written, &error, handle), STATUS_OK);
  EXPECT_EQ(written, 4);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(ReadData_6B(&address, id(1), 0x30, 4, back, &error, handle), STATUS_OK);
  EXPECT_EQ(Bytes(back, back + 4), Bytes(data, data + 4));
  EXPECT_EQ(tag(0).memory[0x30], 0x00) << "only the named tag was written";

  EXPECT_EQ(CheckLock_6B(&address, id(1), 0x32, &state, &error, handle), STATUS_OK);
  EXPECT_EQ(state, 0);
  EXPECT_EQ(Lock_6B(&address, id(1), 0x32, &error, handle), STATUS_OK);
  EXPECT_EQ(CheckLock_6B(&address, id(1), 0x32, &state, &error, handle), STATUS_OK);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(CheckLock_6B(&address, id(1), 0x00, &state, &error, handle), STATUS_OK);
  EXPECT_EQ(state, 1) << "identifier bytes come locked";

  // A write over the locked byte is refused as a whole.
  unsigned char again[4] = {0x01, 0x02, 0x03, 0x04};
  written = 0;
  EXPECT_EQ(WriteData_6B(&address, id(1), 0x30, again, 4, &written, &error, handle), 0xFC);
  EXPECT_EQ(error, emu::kTagErrorMemoryLocked);
  EXPECT_EQ(written, 0);
  EXPECT_EQ(ReadData_6B(&address, id(1), 0x30, 4, back, &error, handle), STATUS_OK);
  EXPECT_EQ(Bytes(back, back + 4), Bytes(data, data + 4));
}

TEST_F(Emulated6b, OutOfRangeAndUnknownTagsAreRefused) {
  unsigned char back[8], state = 0xEE;
  int error = 0;
  EXPECT_EQ(ReadData_6B(&address, id(0), 220, 8, back, &error, handle), 0xFC);
  EXPECT_EQ(error, emu::kTagErrorMemoryOverrun);
  EXPECT_EQ(Lock_6B(&address, id(0), 224, &error, handle), 0xFC);
  EXPECT_EQ(CheckLock_6B(&address, id(0), 224, &state, &error, handle), 0xFC);
  EXPECT_EQ(state, 0xEE);

  unsigned char stranger[8] = {0xE0, 9, 9, 9, 9, 9, 9, 9};
  error = 0x77;
  EXPECT_EQ(ReadData_6B(&address, stranger, 0, 8, back, &error, handle), 0xFB);
  EXPECT_EQ(error, 0x77) << "no tag error without a tag";
}

}  // namespace
}  // namespace velkor::test
