#include "tools/output/tag_table.h"

#include <algorithm>

namespace velkor::tool {

void TagTable::add(const Bytes &epc, WallClock::time_point when) {
  ++reads_;
  const auto [at, fresh] = index_.emplace(std::string(epc.begin(), epc.end()), entries_.size());
  if (fresh) entries_.push_back({epc, 0, when, when});
  Entry &e = entries_[at->second];
  ++e.reads;
  e.last = when;
}

void TagTable::print(std::FILE *out, Order order, std::size_t max_rows) const {
  std::size_t width = 3;
  for (const Entry &e : entries_) width = std::max(width, 2 * e.epc.size());
  const int w = static_cast<int>(width);
  std::vector<const Entry *> rows;
  for (const Entry &e : entries_) rows.push_back(&e);
  // Stable, so first-seen order is the entries' own.
  std::stable_sort(rows.begin(), rows.end(), [order](const Entry *a, const Entry *b) {
    switch (order) {
      case Order::kLastSeen:
        if (a->last != b->last) return a->last > b->last;
        break;
      case Order::kFirstSeen: return false;
      case Order::kReads:
        if (a->reads != b->reads) return a->reads > b->reads;
        break;
      case Order::kEpc: break;
    }
    return a->epc < b->epc;
  });
  std::fprintf(out, "%-*s  %6s  %-12s  %s\n", w, "EPC", "READS", "FIRST SEEN", "LAST SEEN");
  const std::size_t shown = rows.size() <= max_rows ? rows.size() : max_rows - 1;
  for (std::size_t i = 0; i < shown; ++i)
    std::fprintf(out, "%-*s  %6u  %-12s  %s\n", w, to_hex(rows[i]->epc).c_str(), rows[i]->reads,
                 local_time(rows[i]->first).c_str(), local_time(rows[i]->last).c_str());
  if (shown < rows.size()) std::fprintf(out, "+%zu more\n", rows.size() - shown);
}

}  // namespace velkor::tool
