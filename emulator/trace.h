// The wire trace: every report in both directions with a timestamp.
#ifndef VELKOR_EMULATOR_TRACE_H
#define VELKOR_EMULATOR_TRACE_H

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velkor::emu {

struct TraceEntry {
  enum Direction : std::uint8_t { kToReader, kFromReader } direction;
  std::uint32_t ms;  ///< virtual or real milliseconds, as the emulator was driven
  std::array<std::uint8_t, 64> report;
};

/// "   1.050 s  host > reader  03 0A" - the report up to its last non-zero
/// byte (at least the first two bytes).
std::string format(const TraceEntry &entry);

class Trace {
 public:
  /// Keep every entry (tests); off by default so long runs do not grow.
  bool record = false;
  /// Called for every entry as it happens (the tool's --trace).
  std::function<void(const TraceEntry &)> sink;

  void add(const TraceEntry &entry) {
    if (record) entries.push_back(entry);
    if (sink) sink(entry);
  }
  std::vector<TraceEntry> entries;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_TRACE_H
