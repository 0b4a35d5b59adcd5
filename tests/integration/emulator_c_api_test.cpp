// The emulator's C entry points (libvelkor_emulator.so), driven through the
// shipped library as the Python binding drives them.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <vector>

#include "emulator/velkor_emulator.h"
#include "velkor.h"

namespace {

TEST(EmulatorCApi, StartsServesAndStopsByHandle) {
  const int handle = velkor_emulator_start(5, 3, 0);
  ASSERT_GE(handle, 0);
  unsigned char address = 0xFF, version[2] = {};
  EXPECT_EQ(GetModuleVersion(&address, version, handle), STATUS_OK);

  ASSERT_EQ(velkor_emulator_gen2_count(handle), 3);
  unsigned char list[6000] = {}, frame4 = 0, epc[64] = {};
  int total = 0, count = 0;
  ASSERT_EQ(Inventory_G2(&address, 4, 0, 0, nullptr, 0, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, list,
                         &frame4, &total, &count, handle),
            0x01);
  const int length = velkor_emulator_gen2_epc(handle, 0, epc, sizeof epc);
  ASSERT_EQ(length, list[0]);
  EXPECT_EQ(std::vector<unsigned char>(epc, epc + length),
            std::vector<unsigned char>(list + 1, list + 1 + length));

  EXPECT_EQ(velkor_emulator_stop(handle), 0);
  EXPECT_EQ(::fcntl(handle, F_GETFD), -1) << "stopping closes the handle";
  EXPECT_EQ(velkor_emulator_stop(handle), -1);
  EXPECT_EQ(velkor_emulator_gen2_count(handle), -1);
}

TEST(EmulatorCApi, RefusesWhatItCannotDo) {
  EXPECT_EQ(velkor_emulator_start(1, -1, 0), -1);
  EXPECT_EQ(velkor_emulator_start(1, 0, VELKOR_EMULATOR_MAX_TAGS + 1), -1);
  const int handle = velkor_emulator_start(1, 2, 0);
  ASSERT_GE(handle, 0);
  unsigned char epc[4] = {0xEE};
  EXPECT_EQ(velkor_emulator_gen2_epc(handle, 0, epc, sizeof epc), -1) << "12 bytes, room for 4";
  EXPECT_EQ(epc[0], 0xEE);
  EXPECT_EQ(velkor_emulator_gen2_epc(handle, 2, epc, sizeof epc), -1);
  EXPECT_EQ(velkor_emulator_inject(handle, 0, 0), -1);
  EXPECT_EQ(velkor_emulator_inject(handle, VELKOR_FAULT_STATUS, 256), -1);
  EXPECT_EQ(velkor_emulator_inject(handle + 1000, VELKOR_FAULT_STATUS, 1), -1);
  EXPECT_EQ(velkor_emulator_disconnect(handle + 1000), -1);
  EXPECT_EQ(velkor_emulator_stop(handle), 0);
}

// The feed places its next tag at an inventory once the last one's EPC has
// changed, and never two at once.
TEST(EmulatorCApi, TheFeedPlacesTheNextTagOnceTheLastWasWritten) {
  const int handle = velkor_emulator_start(1, 0, 0);
  ASSERT_GE(handle, 0);
  EXPECT_EQ(velkor_emulator_feed(handle, VELKOR_EMULATOR_MAX_TAGS + 1), -1);
  EXPECT_EQ(velkor_emulator_feed(handle + 1000, 1), -1);
  ASSERT_EQ(velkor_emulator_feed(handle, 2), 0);
  EXPECT_EQ(velkor_emulator_gen2_count(handle), 0) << "placed by an inventory, not before";
  unsigned char address = 0xFF, list[6000] = {}, frame4 = 0, password[4] = {};
  unsigned char epc[12] = {0x30, 0x74};
  int total = 0, count = 0, error = 0;
  const auto inventory = [&] {
    Inventory_G2(&address, 4, 0, 0, nullptr, 0, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, list, &frame4,
                 &total, &count, handle);
    return count;
  };
  EXPECT_EQ(inventory(), 1);
  EXPECT_EQ(inventory(), 1) << "the tag on the reader is not written yet";
  ASSERT_EQ(WriteEPC_G2(&address, password, epc, 6, &error, handle), STATUS_OK);
  EXPECT_EQ(inventory(), 2);
  EXPECT_EQ(velkor_emulator_gen2_count(handle), 2);
  EXPECT_EQ(velkor_emulator_stop(handle), 0);
}

TEST(EmulatorCApi, FaultsApplyToTheNextReplyOnly) {
  const int handle = velkor_emulator_start(1, 1, 0);
  ASSERT_GE(handle, 0);
  unsigned char address = 0xFF, version[2] = {};
  ASSERT_EQ(velkor_emulator_inject(handle, VELKOR_FAULT_STATUS, 0xFE), 0);
  EXPECT_EQ(GetModuleVersion(&address, version, handle), 0xFE);
  ASSERT_EQ(velkor_emulator_inject(handle, VELKOR_FAULT_ECHO, 0x21), 0);
  EXPECT_EQ(GetModuleVersion(&address, version, handle), STATUS_COMMAND_MISMATCH);
  EXPECT_EQ(GetModuleVersion(&address, version, handle), STATUS_OK);
  ASSERT_EQ(velkor_emulator_disconnect(handle), 0);
  EXPECT_EQ(GetModuleVersion(&address, version, handle), STATUS_COMM_ERROR);
  EXPECT_EQ(velkor_emulator_stop(handle), 0);
}

}  // namespace
