// Discovery on the Win32 platform of a machine without the reader attached
// (the CI container under Wine): the present HID interfaces are walked, none
// is kept, and the caller's count is left alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>

#include "velkor.h"

namespace {

TEST(Win32Discovery, WithoutAReaderFindsNothing) {
  std::array<VelkorHandle, VELKOR_MAX_DEVICES> handles{};
  int count = 77;
  EXPECT_EQ(GetDeviceList(handles.data(), &count), STATUS_COMM_ERROR);
  EXPECT_EQ(count, 77);
}

}  // namespace
