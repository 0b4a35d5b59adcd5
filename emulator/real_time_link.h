// What the real-time servers (socket pair, named pipe) share: the emulator
// and its lock, the host end of the link, the emulator's clock in
// milliseconds since the server started, and the step that hands one host
// report to the emulator and sends what it answers.
#ifndef VELKOR_EMULATOR_REAL_TIME_LINK_H
#define VELKOR_EMULATOR_REAL_TIME_LINK_H

#include <chrono>
#include <cstdint>
#include <mutex>

#include "emulator/emulator.h"

namespace velkor::emu {

class RealTimeClock {
 public:
  std::uint32_t now_ms() const {
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start_)
            .count());
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

/// The emulator behind a link whose host end is a Handle (a descriptor, a
/// Win32 HANDLE).
template <typename Handle>
class ServedEmulator {
 public:
  ServedEmulator(const ServedEmulator &) = delete;
  ServedEmulator &operator=(const ServedEmulator &) = delete;

  /// The host end, a device handle for the library.  The server closes it
  /// on destruction unless it was released.
  Handle handle() const { return host_; }
  /// Hands the host end over to the caller (who closes it, e.g. with
  /// CloseUSBPort).
  Handle release_handle() {
    host_owned_ = false;
    return host_;
  }

  /// Runs f on the emulator while the serving thread is held off.
  template <typename F>
  auto with_emulator(F &&f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(emulator_);
  }

 protected:
  ServedEmulator(const ReaderOptions &options, Handle none) : emulator_(options), host_(none) {}
  ~ServedEmulator() = default;

  Emulator emulator_;
  std::mutex mutex_;
  Handle host_;
  bool host_owned_ = true;
};

/// Hands the 64-byte report in to the emulator, then sends every report it
/// has to send with write(out), which returns false for a report the host
/// end did not take.  False when a report was lost: the link is broken.
template <typename Write>
bool answer_report(Emulator &emulator, const std::uint8_t *in, const RealTimeClock &clock,
                   Write &&write) {
  emulator.receive(in, clock.now_ms());
  std::uint8_t out[64];
  bool lost = false;
  while (emulator.transmit(out, clock.now_ms()))
    if (!write(out)) lost = true;
  return !lost;
}

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_REAL_TIME_LINK_H
