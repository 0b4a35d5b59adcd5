// Gen2 inventory and memory access through the shipped library, against the
// emulator over a socket pair in real time.
#include <gtest/gtest.h>

#include "emulator/socket_server.h"
#include "velkor.h"

namespace {

using Bytes = std::vector<unsigned char>;

TEST(Gen2Socket, InventoryThenWriteAndReadTheFirstTag) {
  velkor::emu::SocketServer server({.seed = 11});
  unsigned char address = 0x00, mask_addr[2] = {}, mask[1] = {}, frame4 = 0;
  Bytes list(6000);
  int total = 0, count = 0;
  ASSERT_EQ(Inventory_G2(&address, 0x04, 0x00, 0, mask_addr, 0, mask, 0, 0, 0, 0, 0, 0, 0, 0,
                         list.data(), &frame4, &total, &count, server.handle()),
            0x01);
  ASSERT_EQ(count, 5);
  ASSERT_EQ(total, 5 * 13);
  Bytes epc(list.begin() + 1, list.begin() + 1 + list[0]);
  server.with_emulator([&](velkor::emu::Emulator &e) {
    EXPECT_EQ(epc, e.reader().tags.gen2[0].epc());
  });

  unsigned char password[4] = {}, words[4] = {0xAB, 0xCD, 0xEF, 0x01}, back[4] = {};
  int error = 0;
  ASSERT_EQ(WriteData_G2(&address, epc.data(), 2, 6, 3, 0, words, password, 0, nullptr, 0,
                         nullptr, &error, server.handle()),
            STATUS_OK);
  ASSERT_EQ(ReadData_G2(&address, epc.data(), 6, 3, 0, 2, password, 0, nullptr, 0, nullptr,
                        back, &error, server.handle()),
            STATUS_OK);
  EXPECT_EQ(Bytes(back, back + 4), Bytes(words, words + 4));
  EXPECT_EQ(error, -1);
}

}  // namespace
