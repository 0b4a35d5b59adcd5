// The bridge: a reader made through /dev/uhid and played by the emulator.
// Every output report the kernel passes on goes to the emulator, which also
// witnesses the host's use of the report protocol; every input report it
// answers with goes back to the kernel.  A thread serves the device.
#ifndef VELKOR_TESTS_KERNEL_BRIDGED_READER_H
#define VELKOR_TESTS_KERNEL_BRIDGED_READER_H

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/emulator.h"
#include "emulator/real_time_link.h"
#include "tests/kernel/uhid_device.h"

namespace velkor::kernel {

/// One report as it crossed the kernel's uhid interface.
struct Crossing {
  Bytes bytes;
  int rtype = -1;  ///< UHID_OUTPUT_REPORT etc. for an output; -1 for an input
};

class BridgedReader {
 public:
  /// Makes the reader and waits for its hidraw node; throws
  /// std::runtime_error when the kernel gives it none.
  BridgedReader(const std::string &uniq, const emu::ReaderOptions &options);
  /// Stops serving and unplugs the reader if it is still there.
  ~BridgedReader();
  BridgedReader(const BridgedReader &) = delete;
  BridgedReader &operator=(const BridgedReader &) = delete;

  /// The reader's node as it was made ("/dev/hidraw2").
  const std::string &node() const { return node_; }

  /// Unplugs the reader (UHID_DESTROY) in the middle of whatever goes on.
  void unplug();

  /// Sends an input report of the bridge's own, outside the emulator's
  /// conversation (a report the host did not poll for).
  bool send_unasked(const Bytes &report);

  /// Runs f on the emulator while the serving thread is held off.
  template <typename F>
  auto with_emulator(F &&f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(emulator_);
  }

  /// Output reports the kernel passed on, in order, as it passed them.
  std::vector<Crossing> outputs();
  /// Input reports sent to the kernel, in order.
  std::vector<Crossing> inputs();
  /// Forgets the reports seen so far.
  void clear_log();
  /// How often the kernel told the device that its first opener came
  /// (UHID_OPEN) and that its last one left (UHID_CLOSE).
  int opens();
  int closes();
  /// What went wrong: the emulator's witness reports of the host's protocol
  /// violations, and anything the kernel asked of the device that the
  /// library never should cause (feature or get/set report requests).
  std::vector<std::string> faults();

 private:
  void serve();
  void on_output(const uhid_event &event);

  emu::Emulator emulator_;
  emu::RealTimeClock clock_;
  UhidDevice device_;
  std::string node_;
  std::mutex mutex_;  // the emulator and the logs
  std::vector<Crossing> outputs_;
  std::vector<Crossing> inputs_;
  std::vector<std::string> oddities_;
  int opens_ = 0;
  int closes_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace velkor::kernel

#endif  // VELKOR_TESTS_KERNEL_BRIDGED_READER_H
