// The EPCs of text on standard input, for `velkor inventory | velkor epc
// decode`: one per line, in the line's first column (the EPC column of the
// tool's inventory and watch output, or an EPC alone).
#ifndef VELKOR_TOOLS_EPC_LINES_H
#define VELKOR_TOOLS_EPC_LINES_H

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace velkor::tool {

/// The longest line read; a longer one is refused, not split.
constexpr std::size_t kLongestEpcLine = 4096;

/// The EPC column of one line: its first blank-separated field.  None for a
/// blank line, a table's header ("EPC ...") or a tag without an EPC ("-").
std::optional<std::string> epc_field(std::string_view line);

/// Reads lines from a stream, one at a time, so that the EPCs of a running
/// inventory are decoded as they come.
class EpcLines {
 public:
  /// in: read, never closed.
  explicit EpcLines(std::FILE *in) : in_(in) {}

  struct Line {
    enum Kind { kEpc, kTooLong, kEnd } kind = kEnd;
    unsigned number = 0;  ///< from 1
    std::string epc;      ///< kEpc: the EPC column as given
  };
  /// The next line that holds an EPC, or a line longer than kLongestEpcLine
  /// (skipped to its end), or the end of the input (a read error ends it too).
  Line next();

 private:
  std::FILE *in_;
  unsigned number_ = 0;
};

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_EPC_LINES_H
