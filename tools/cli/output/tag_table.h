// The unique tags of a --watch run: how often each was read, when it was
// first and last seen, on which antenna, and its TID when asked for.
#ifndef VELKOR_TOOLS_TAG_TABLE_H
#define VELKOR_TOOLS_TAG_TABLE_H

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tools/cli/output/tag_output.h"

namespace velkor::tool {

class TagTable {
 public:
  struct Entry {
    Bytes epc;
    unsigned reads = 0;
    WallClock::time_point first, last;
    int antenna = 0;  ///< of the last read
    Bytes tid;        ///< of the last read that carried one
  };

  /// Counts a read; the EPC and TID together name the tag.
  void add(const TagRead &read);
  /// In the order first seen.
  const std::vector<Entry> &entries() const { return entries_; }
  unsigned reads() const { return reads_; }

  enum class Order { kLastSeen, kFirstSeen, kReads, kEpc };
  enum class Column { kEpc, kReads, kFirst, kLast, kAntenna, kTid, kUri };

  /// The columns' names as --columns takes them, in Column's order.
  static const std::vector<std::string> &column_names();

  /// The table with a header line, sorted (the most recent, the earliest,
  /// the most read first, or by EPC; ties by EPC), with the given columns.
  /// With more tags than max_rows, the first max_rows - 1 and a "+N more"
  /// line.
  void print(std::FILE *out, Order order, const std::vector<Column> &columns,
             std::size_t max_rows = static_cast<std::size_t>(-1)) const;

 private:
  std::vector<Entry> entries_;
  // Keyed by the EPC's and TID's bytes as a string: GCC 12 at -O3 misreads
  // the comparison of two byte vectors as an overread.
  std::map<std::string, std::size_t> index_;
  unsigned reads_ = 0;
};

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TAG_TABLE_H
