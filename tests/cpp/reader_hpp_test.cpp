// velkor.hpp against the emulator over a socket pair: each command family
// as a user would call it, then the ways a call fails.
#include <fcntl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "emulator/socket_server.h"
#include "velkor.hpp"

namespace {

using velkor::Bank;
using velkor::Bytes;
using velkor::emu::Emulator;
using velkor::emu::SocketServer;

// The words of a bank as bytes, most significant byte first.
Bytes bank_bytes(const velkor::emu::Gen2Tag &tag, int bank, std::size_t words) {
  Bytes out;
  for (std::size_t i = 0; i < words; ++i) {
    out.push_back(static_cast<unsigned char>(tag.banks[bank][i] >> 8));
    out.push_back(static_cast<unsigned char>(tag.banks[bank][i]));
  }
  return out;
}

class ReaderHpp : public ::testing::Test {
 protected:
  SocketServer server{{.seed = 7}};
  velkor::Reader reader = velkor::Reader::adopt(server.release_handle());

  template <typename F>
  auto model(F &&f) {
    return server.with_emulator([&](Emulator &e) { return f(e.reader()); });
  }
};

TEST_F(ReaderHpp, IdentityIsTheInformationBlockDecoded) {
  const velkor::ReaderInfo info = reader.info();
  const Bytes block = model([](auto &r) { return r.information_block(); });
  EXPECT_EQ(info.firmware_major, block[0]);
  EXPECT_EQ(info.firmware_minor, block[1]);
  EXPECT_EQ(info.power, block[6]);
  EXPECT_EQ(info.scan_time_ms, block[7] * 100u);
  EXPECT_EQ(info.highest_channel, block[4] & 0x3Fu);
  reader.set_serial({1, 2, 3, 4});
  EXPECT_EQ(reader.serial(), (std::array<unsigned char, 4>{1, 2, 3, 4}));
  reader.set_address(0x12);
  EXPECT_EQ(reader.address(), 0x12);
  EXPECT_EQ(reader.info().address, 0x12) << "the next command goes to the new address";
}

TEST_F(ReaderHpp, Gen2InventoryMemoryAndLock) {
  const std::vector<velkor::Tag> tags = reader.inventory();
  ASSERT_EQ(tags.size(), 5u);
  const auto tag0 = model([](auto &r) { return r.tags.gen2[0]; });
  EXPECT_EQ(tags[0].epc, tag0.epc());

  EXPECT_EQ(reader.read(tags[0].epc, Bank::tid, 0, 6), bank_bytes(tag0, VELKOR_BANK_TID, 6));
  const Bytes words = {0xCA, 0xFE, 0xF0, 0x0D};
  reader.write(tags[0].epc, Bank::user, 2, words);
  EXPECT_EQ(reader.read(tags[0].epc, Bank::user, 2, 2), words);
  reader.erase(tags[0].epc, Bank::user, 2, 2);
  EXPECT_EQ(reader.read(tags[0].epc, Bank::user, 2, 2), Bytes(4, 0));

  reader.lock(tags[0].epc, velkor::LockField::user, velkor::LockAction::permalock);
  try {
    reader.write(tags[0].epc, Bank::user, 0, words);
    ADD_FAILURE() << "a write to locked memory succeeded";
  } catch (const velkor::Error &e) {
    EXPECT_EQ(e.status(), VELKOR_STATUS_TAG_ERROR);
    EXPECT_EQ(e.tag_error(), VELKOR_TAG_ERROR_MEMORY_LOCKED);
    EXPECT_NE(std::string(e.what()).find("memory locked"), std::string::npos) << e.what();
  }
}

TEST_F(ReaderHpp, PrivacyAndEas) {
  const Bytes epc = reader.inventory().at(1).epc;
  EXPECT_FALSE(reader.eas_alarm());
  reader.eas(epc, true);
  EXPECT_TRUE(reader.eas_alarm());
  reader.eas(epc, false);
  EXPECT_FALSE(reader.eas_alarm());
  reader.privacy(epc);
  EXPECT_EQ(reader.inventory().size(), 4u) << "a tag in privacy does not answer";
}

TEST_F(ReaderHpp, Iso6bIdentifiersAndMemory) {
  const auto id = reader.inventory_6b();
  ASSERT_TRUE(id.has_value());
  const auto tag = model([](auto &r) { return r.tags.iso6b[0]; });
  EXPECT_TRUE(std::equal(tag.id.begin(), tag.id.end(), id->begin()));
  const Bytes data = {9, 8, 7};
  reader.write_6b(*id, 20, data);
  EXPECT_EQ(reader.read_6b(*id, 20, 3), data);
  EXPECT_FALSE(reader.check_lock_6b(*id, 20));
  reader.lock_6b(*id, 20);
  EXPECT_TRUE(reader.check_lock_6b(*id, 20));
}

TEST_F(ReaderHpp, ConfigurationAndKeyboardOutput) {
  reader.set_power(20);
  reader.set_region(velkor::Region::mhz865);
  const velkor::ReaderInfo info = reader.info();
  EXPECT_EQ(info.power, 20u);
  EXPECT_EQ(info.region, VELKOR_REGION_865MHZ);
  EXPECT_EQ(info.highest_channel, VELKOR_REGION_865MHZ_CHANNELS - 1u);
  const velkor::HidParameters hid = {VELKOR_HID_PARAM1_MAX, 0x41, VELKOR_HID_PARAM3_MAX, 1, 0, 9};
  reader.set_hid_parameters(hid);
  EXPECT_EQ(reader.hid_parameters(), hid);
  reader.set_hid_beep(true);
  EXPECT_TRUE(reader.hid_beep());
  EXPECT_EQ(velkor::channels(velkor::Region::mhz920).front(), "920.125 MHz");
  EXPECT_EQ(velkor::channels(velkor::Region::mhz902).size(), VELKOR_REGION_902MHZ_CHANNELS + 0u);
}

// Region 5 travels as region 2 with raised channels; it reads back as set,
// as the tool and the bindings read it.
TEST_F(ReaderHpp, Region5ReadsBackAsSet) {
  reader.set_region(velkor::Region::mhz916, 2, 7);
  const velkor::ReaderInfo info = reader.info();
  EXPECT_EQ(info.region, VELKOR_REGION_916MHZ);
  EXPECT_EQ(info.lowest_channel, 2u);
  EXPECT_EQ(info.highest_channel, 7u);
}

TEST_F(ReaderHpp, TheReadersTagBuffer) {
  reader.buffer_clear();
  reader.buffer_inventory();
  EXPECT_EQ(reader.buffer_count(), 5);
  EXPECT_FALSE(reader.buffer_list().empty());
  reader.buffer_clear();
  EXPECT_EQ(reader.buffer_count(), 0);
}

// Each way a call fails reaches the caller as the status the C call
// returned, thrown, or stored in the report_to() target.
struct FailureCase {
  const char *name;
  velkor::emu::Faults faults;
  int status;
};

const FailureCase kFailures[] = {
    {"reader_status", {.status = 0xFE}, VELKOR_STATUS_UNKNOWN_COMMAND},
    {"silence", {.silence = true}, STATUS_COMM_ERROR},
    {"wrong_echo", {.echo = 0x22}, STATUS_COMMAND_MISMATCH},
};

class ReaderHppFailure : public ReaderHpp, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ReaderHppFailure, ThrowsTheStatusWithItsText) {
  server.with_emulator([](Emulator &e) { e.inject_next(GetParam().faults); });
  try {
    reader.serial();
    ADD_FAILURE() << "no error";
  } catch (const velkor::Error &e) {
    EXPECT_EQ(e.status(), GetParam().status);
    EXPECT_EQ(e.code().category(), velkor::category());
    EXPECT_NE(std::string(e.what()).find(GetReturnCodeText(GetParam().status)), std::string::npos)
        << e.what();
  }
}

TEST_P(ReaderHppFailure, ReportsToAnErrorCodeWithoutThrowing) {
  std::error_code ec = velkor::make_error_code(0x42);
  reader.report_to(ec);
  EXPECT_EQ(reader.module_version().size(), 2u);
  EXPECT_FALSE(ec) << "success clears the code";
  server.with_emulator([](Emulator &e) { e.inject_next(GetParam().faults); });
  EXPECT_EQ(reader.serial(), (std::array<unsigned char, 4>{}));
  EXPECT_EQ(ec, velkor::make_error_code(GetParam().status));
  EXPECT_EQ(ec.message(), GetReturnCodeText(GetParam().status));
}

INSTANTIATE_TEST_SUITE_P(Faults, ReaderHppFailure, ::testing::ValuesIn(kFailures),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ReaderHppHandle, IsOwnedMovedAndClosedOnce) {
  SocketServer server;
  const int fd = server.release_handle();
  {
    velkor::Reader first = velkor::Reader::adopt(fd);
    velkor::Reader second = std::move(first);
    EXPECT_FALSE(first.valid());
    EXPECT_EQ(second.handle(), fd);
    EXPECT_EQ(second.inventory().size(), 5u);
  }
  EXPECT_EQ(::fcntl(fd, F_GETFD), -1) << "the destructor closed the handle";
}

TEST(ReaderHppHandle, AMissingDeviceIsACommError) {
  try {
    velkor::Reader::open(std::string("/nonexistent/hidraw"));
    ADD_FAILURE() << "opened";
  } catch (const velkor::Error &e) {
    EXPECT_EQ(e.status(), STATUS_COMM_ERROR);
  }
}

}  // namespace
