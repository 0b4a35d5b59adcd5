// A fake device that answers every command with the input reports an
// emulated reader once gave for it: a reader that costs next to nothing, so
// that a benchmark on it times the library alone.
#ifndef VELKOR_BENCH_REPLAY_DEVICE_H
#define VELKOR_BENCH_REPLAY_DEVICE_H

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "emulator/trace.h"
#include "tests/support/fake_platform.h"

namespace velkor::bench {

class ReplayDevice : public fake::Device {
 public:
  /// Replays the input reports of a trace (the reader's side of it).
  explicit ReplayDevice(const emu::Trace &trace) {
    for (const emu::TraceEntry &e : trace.entries)
      if (e.direction == emu::TraceEntry::kFromReader) inputs_.push_back(e.report);
  }

  /// A data report carries a new command: its answer starts over.
  int write(const fake::Report &report) override {
    if (report[0] == kDataReport) next_ = 0;
    return static_cast<int>(report.size());
  }
  std::optional<std::uint32_t> read(fake::Report &report) override {
    if (next_ >= inputs_.size()) return std::nullopt;
    report = inputs_[next_++];
    return 0;
  }

  std::size_t size() const { return inputs_.size(); }

 private:
  static constexpr std::uint8_t kDataReport = 0x02;
  std::vector<fake::Report> inputs_;
  std::size_t next_ = 0;
};

}  // namespace velkor::bench

#endif  // VELKOR_BENCH_REPLAY_DEVICE_H
