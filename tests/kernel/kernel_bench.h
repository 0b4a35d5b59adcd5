// The fixture of the guest's tests: readers and keyboards made in the kernel
// for one test and gone after it, the emulator's witness checked at its end,
// and the library's handles closed.
#ifndef VELKOR_TESTS_KERNEL_KERNEL_BENCH_H
#define VELKOR_TESTS_KERNEL_KERNEL_BENCH_H

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/kernel/bridged_reader.h"
#include "tests/kernel/uhid_device.h"
#include "velkor.h"

namespace velkor::kernel {

class KernelBench : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  /// A reader played by an emulator with these options.
  BridgedReader &add_reader(const emu::ReaderOptions &options = {});
  /// A keyboard of the reader's vendor (foreign false) or of another one.
  UhidDevice &add_keyboard(bool foreign = false);

  /// GetDeviceList; the handles it found are closed after the test.
  int discover(std::vector<VelkorHandle> &readers);
  /// CloseUSBPort on a handle discover gave.
  int close(VelkorHandle handle);

  /// 64 bytes: the report ID and the given bytes, then zeros.
  static Bytes report(std::initializer_list<std::uint8_t> start);

  std::vector<std::unique_ptr<BridgedReader>> readers;
  std::vector<std::unique_ptr<UhidDevice>> keyboards;
  std::vector<VelkorHandle> opened;

 private:
  static std::string next_uniq(const char *kind);
};

/// Milliseconds since t.
long long ms_since(std::chrono::steady_clock::time_point t);

/// Polls done every 10 ms until it holds or timeout_ms pass; its last answer.
bool wait_until(const std::function<bool()> &done, int timeout_ms);

/// Whether an input report waits on the handle within timeout_ms.
bool input_waits(VelkorHandle handle, int timeout_ms);

}  // namespace velkor::kernel

#endif  // VELKOR_TESTS_KERNEL_KERNEL_BENCH_H
