// Finding the readers among the HID interfaces, on the fake enumeration.
#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"
#include "tests/support/scripted_device.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

class Discovery : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    handles.fill(fake::handle_from(-5));
  }
  void TearDown() override { fake::reset(); }

  fake::Interface reader(ScriptedDevice &d) {
    fake::Interface i;
    i.device = &d;
    return i;
  }
  fake::Interface other(std::uint16_t vendor, std::uint16_t product) {
    fake::Interface i;
    i.vendor = vendor;
    i.product = product;
    i.device = &stranger;
    return i;
  }

  std::array<VelkorHandle, VELKOR_MAX_DEVICES> handles{};
  int count = 77;
  ScriptedDevice first, second, stranger;
};

TEST_F(Discovery, KeepsTheReadersInEnumerationOrderAndGreetsEach) {
  fake::set_interfaces({std::nullopt, reader(first), other(0x046D, 0xC077),
                        std::nullopt, reader(second)});
  ASSERT_EQ(GetDeviceList(handles.data(), &count), STATUS_OK);
  EXPECT_EQ(count, 2);
  const auto open = fake::open_handles();
  ASSERT_EQ(open.size(), 2u);
  EXPECT_EQ(handles[0], open[0]);
  EXPECT_EQ(handles[1], open[1]);
  EXPECT_EQ(fake::closed_handles().size(), 1u) << "the other device is closed";
  EXPECT_EQ(first.controls(), std::vector<std::uint8_t>{CTRL_BEGIN});
  EXPECT_EQ(second.controls(), std::vector<std::uint8_t>{CTRL_BEGIN});
  EXPECT_TRUE(stranger.written.empty());
  EXPECT_TRUE(fake::device_sets_balanced()) << "the enumeration is released";
}

TEST_F(Discovery, BothIdentifiersMustMatch) {
  struct {
    std::uint16_t vendor, product;
  } near_misses[] = {{0x0470, 0xA113}, {0x0471, 0xA112}, {0xA112, 0x0470}};
  for (auto m : near_misses) {
    fake::reset();
    fake::set_interfaces({other(m.vendor, m.product)});
    EXPECT_EQ(GetDeviceList(handles.data(), &count), STATUS_COMM_ERROR);
    EXPECT_EQ(count, 77) << "count untouched";
    EXPECT_TRUE(fake::open_handles().empty());
  }
}

TEST_F(Discovery, InterfacesThatCannotBeOpenedOrIdentifiedAreSkipped) {
  fake::Interface busy = reader(first);
  busy.opens = false;
  fake::Interface pathless = reader(first);
  pathless.has_path = false;
  fake::Interface mute = reader(first);
  mute.ids_readable = false;
  std::vector<std::optional<fake::Interface>> all(VELKOR_MAX_DEVICES + 5);
  all[0] = busy;
  all[1] = pathless;
  all[2] = mute;
  all[99] = reader(second);           // the last index examined
  all[100] = reader(stranger);        // past it
  fake::set_interfaces(all);
  ASSERT_EQ(GetDeviceList(handles.data(), &count), STATUS_OK);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(fake::open_handles(), std::vector<VelkorHandle>{handles[0]});
  EXPECT_TRUE(stranger.written.empty());
}

TEST_F(Discovery, NoReaderOrNoEnumerationIsACommError) {
  fake::set_interfaces({});
  EXPECT_EQ(GetDeviceList(handles.data(), &count), STATUS_COMM_ERROR);
  fake::set_interfaces({reader(first)}, false);
  EXPECT_EQ(GetDeviceList(handles.data(), &count), STATUS_COMM_ERROR);
  EXPECT_EQ(count, 77);
  EXPECT_TRUE(first.written.empty());
}

TEST_F(Discovery, AFailedGreetingLeavesNothingOpen) {
  second.refused_writes = {0};
  fake::set_interfaces({reader(first), reader(second)});
  EXPECT_EQ(GetDeviceList(handles.data(), &count), STATUS_COMM_ERROR);
  EXPECT_EQ(count, 77);
  EXPECT_TRUE(fake::open_handles().empty());
  EXPECT_EQ(handles[0], VELKOR_INVALID_HANDLE);
  EXPECT_EQ(handles[1], VELKOR_INVALID_HANDLE);
  EXPECT_TRUE(fake::device_sets_balanced());
}

TEST_F(Discovery, CloseUsbPort) {
  fake::set_interfaces({reader(first)});
  ASSERT_EQ(GetDeviceList(handles.data(), &count), STATUS_OK);
  EXPECT_EQ(CloseUSBPort(VELKOR_INVALID_HANDLE), STATUS_COMM_ERROR);
  EXPECT_TRUE(fake::closed_handles().empty());
  EXPECT_EQ(CloseUSBPort(handles[0]), STATUS_OK);
  EXPECT_EQ(fake::closed_handles(), std::vector<VelkorHandle>{handles[0]});
}

}  // namespace
}  // namespace velkor::test
