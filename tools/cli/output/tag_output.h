// Tags as they are read, for people (one EPC per line) or for programs (one
// JSON object or CSV row per tag per round, written as it comes).
#ifndef VELKOR_TOOLS_TAG_OUTPUT_H
#define VELKOR_TOOLS_TAG_OUTPUT_H

#include <chrono>
#include <optional>
#include <set>
#include <string>

#include "app/base/hex.h"
#include "app/tags/tag_read.h"
#include "tools/cli/core_names.h"

namespace velkor::tool {

enum class Format { kText, kJson, kCsv };

/// Writes reads to standard output in the chosen format, flushing each, so
/// that a pipe gets them as they come.
class TagWriter {
 public:
  struct Options {
    Format format = Format::kText;
    bool decode = false;  ///< each tag's EPC Tag URI after its hex (when it has one)
    bool tid = false;     ///< each tag's TID beside its EPC
    bool unique = false;  ///< each tag once: later reads of it are not written
  };
  explicit TagWriter(const Options &options) : options_(options) {}
  void write(const TagRead &read);

 private:
  Options options_;
  bool header_written_ = false;
  std::set<std::string> written_;  ///< with unique: the tags written so far
};

/// "1 tag", "6 tags".
std::string counted(std::size_t n, const char *noun);

/// "2024-05-01T12:00:00.123Z"
std::string utc_time(WallClock::time_point t);
/// "12:00:00.123", local time.
std::string local_time(WallClock::time_point t);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TAG_OUTPUT_H
