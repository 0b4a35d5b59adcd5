// The tags a watch (or a publisher) has seen: how often each was read, when
// it was first and last seen, on which antenna, its TID when asked for, and
// whether it is present: a tag arrives when it is read while absent and
// departs once it has gone unread for the departure time.
#ifndef VELKOR_APP_WATCH_TAG_TABLE_H
#define VELKOR_APP_WATCH_TAG_TABLE_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/tags/tag_read.h"

namespace velkor::app {

class TagTable {
 public:
  struct Entry {
    Bytes epc;
    Bytes tid;  ///< of the last read that carried one
    unsigned reads = 0;
    WallClock::time_point first, last;
    int antenna = 0;  ///< of the last read
    std::int64_t last_ms = 0;  ///< steady time of the last read
    bool present = false;
  };

  /// depart_after_ms: how long a tag may go unread before it departs.
  /// With forget_departed, a tag that departs leaves the table (a publisher
  /// that runs for months keeps only the tags in the field).
  explicit TagTable(std::int64_t depart_after_ms = 3000, bool forget_departed = false)
      : depart_after_ms_(depart_after_ms), forget_departed_(forget_departed) {}

  /// Counts a read made at steady time now_ms; the EPC names the tag (the
  /// TID for a reader that sends no EPC).  True when the read makes the tag
  /// arrive; *at (when given) is then its place in entries().
  bool add(const TagRead &read, std::int64_t now_ms, std::size_t *at = nullptr);
  /// The present tags unread for longer than the departure time depart:
  /// returned (the one read longest ago first, ties by EPC) and marked absent.
  std::vector<Entry> depart(std::int64_t now_ms);

  /// In the order first seen.
  const std::vector<Entry> &entries() const { return entries_; }
  unsigned reads() const { return reads_; }
  std::size_t present() const;

  enum class Order { kLastSeen, kFirstSeen, kReads, kEpc };
  /// The entries sorted: the most recent, the earliest, the most read
  /// first, or by EPC; ties by EPC.
  std::vector<const Entry *> sorted(Order order) const;

 private:
  std::int64_t depart_after_ms_;
  bool forget_departed_;
  std::vector<Entry> entries_;
  // Keyed by the EPC's and TID's bytes as a string: GCC 12 at -O3 misreads
  // the comparison of two byte vectors as an overread.
  std::map<std::string, std::size_t> index_;
  unsigned reads_ = 0;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_WATCH_TAG_TABLE_H
