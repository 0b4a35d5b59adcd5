// What the real-time servers (socket pair, named pipe) share: the emulator's
// clock in milliseconds since the server started, and the step that hands
// one host report to the emulator and sends what it answers.
#ifndef VELKOR_EMULATOR_REAL_TIME_LINK_H
#define VELKOR_EMULATOR_REAL_TIME_LINK_H

#include <chrono>
#include <cstdint>

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
