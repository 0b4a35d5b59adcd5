// What the real-time servers (socket pair, named pipe) share: the emulator
// and its lock, the host end of the link, the emulator's clock in
// milliseconds since the server started, and the steps that hand one host
// report to the emulator and send what it answers.
#ifndef VELKOR_EMULATOR_REAL_TIME_LINK_H
#define VELKOR_EMULATOR_REAL_TIME_LINK_H

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

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

/// A report the emulator sends, and how late it goes out.
struct SentReport {
  std::array<std::uint8_t, 64> report;
  std::uint32_t delay_ms;
};

/// Hands the 64-byte report in to the emulator and returns every report it
/// answers with (taken under the server's lock; sent after it is let go).
inline std::vector<SentReport> answer_report(Emulator &emulator, const std::uint8_t *in,
                                             const RealTimeClock &clock) {
  emulator.receive(in, clock.now_ms());
  std::vector<SentReport> out;
  SentReport o{};
  while (emulator.transmit(o.report.data(), clock.now_ms(), &o.delay_ms)) out.push_back(o);
  return out;
}

/// Sends each report with write(report), which returns false for a report
/// the host end did not take, after waiting out its delay: a late report
/// really is late, the host's read runs out first.  False when a report was
/// lost: the link is broken.
template <typename Write>
bool send_reports(const std::vector<SentReport> &out, Write &&write) {
  bool lost = false;
  for (const SentReport &o : out) {
    if (o.delay_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o.delay_ms));
    if (!write(o.report.data())) lost = true;
  }
  return !lost;
}

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_REAL_TIME_LINK_H
