// A test fixture with one emulated reader on the fake platform.
#ifndef VELKOR_TESTS_EMULATED_DEVICE_H
#define VELKOR_TESTS_EMULATED_DEVICE_H

#include <gtest/gtest.h>

#include "tests/support/emulated_reader.h"

namespace velkor::test {

/// A fixture with one emulated reader attached to the fake platform.
class EmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    handle = fake::attach(device);
    device.emulator.trace().record = true;
  }
  void TearDown() override {
    // The emulator witnesses the host: a test that broke the report protocol
    // fails whatever it checked itself.
    for (const emu::Violation &v : device.emulator.violations())
      ADD_FAILURE() << "host protocol violation at " << v.ms << " ms: " << v.what;
    fake::reset();
  }

  emu::Emulator &emulator() { return device.emulator; }
  emu::Reader &reader() { return device.emulator.reader(); }

  EmulatedDevice device;
  VelkorHandle handle{};
  unsigned char address = 0x00;
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_EMULATED_DEVICE_H
