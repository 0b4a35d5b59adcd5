// A test fixture with one scripted device on the fake platform.
#ifndef VELKOR_TESTS_LINK_FIXTURE_H
#define VELKOR_TESTS_LINK_FIXTURE_H

#include <gtest/gtest.h>

#include "tests/support/fake_platform.h"
#include "tests/support/scripted_device.h"

namespace velkor::test {

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::reset();
    handle = fake::attach(device);
  }
  void TearDown() override { fake::reset(); }

  /// The command frames written so far.
  std::vector<Bytes> frames() const { return device.frames(); }

  ScriptedDevice device;
  VelkorHandle handle{};
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_LINK_FIXTURE_H
