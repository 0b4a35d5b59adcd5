// Tags as they are read, for people (one EPC per line) or for programs (one
// JSON object or CSV row per tag per round, written as it comes).
#ifndef VELKOR_TOOLS_TAG_OUTPUT_H
#define VELKOR_TOOLS_TAG_OUTPUT_H

#include <chrono>
#include <string>

#include "tools/output/hex.h"

namespace velkor::tool {

using WallClock = std::chrono::system_clock;

enum class Format { kText, kJson, kCsv };

/// One tag seen in one inventory round.
struct TagRead {
  unsigned round = 0;
  WallClock::time_point time;
  Bytes epc;
  int antenna = 0;  ///< byte 4 of the inventory reply
};

/// Writes reads to standard output in the chosen format, flushing each, so
/// that a pipe gets them as they come.
class TagWriter {
 public:
  /// With decode, each tag's EPC Tag URI follows its hex (when it has one).
  explicit TagWriter(Format format, bool decode = false) : format_(format), decode_(decode) {}
  void write(const TagRead &read);

 private:
  Format format_;
  bool decode_;
  bool header_written_ = false;
};

/// "1 tag", "6 tags".
std::string counted(std::size_t n, const char *noun);

/// "2024-05-01T12:00:00.123Z"
std::string utc_time(WallClock::time_point t);
/// "12:00:00.123", local time.
std::string local_time(WallClock::time_point t);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TAG_OUTPUT_H
