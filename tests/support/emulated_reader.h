// The reader emulator as a device of the fake platform, on the virtual clock.
#ifndef VELKOR_TESTS_EMULATED_READER_H
#define VELKOR_TESTS_EMULATED_READER_H

#include "emulator/emulator.h"
#include "tests/support/fake_platform.h"

namespace velkor::test {

class EmulatedDevice : public fake::Device {
 public:
  explicit EmulatedDevice(const emu::ReaderOptions &options = {}) : emulator(options) {}

  int write(const fake::Report &report) override {
    return emulator.receive(report.data(), fake::clock()) ? 64 : 0;
  }
  std::optional<std::uint32_t> read(fake::Report &report) override {
    std::uint32_t delay = 0;
    if (!emulator.transmit(report.data(), fake::clock(), &delay)) return std::nullopt;
    return delay;
  }

  emu::Emulator emulator;
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_EMULATED_READER_H
