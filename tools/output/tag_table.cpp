#include "tools/output/tag_table.h"

#include <algorithm>

#include "tools/output/epc_text.h"

namespace velkor::tool {

void TagTable::add(const Bytes &epc, WallClock::time_point when) {
  ++reads_;
  const auto [at, fresh] = index_.emplace(std::string(epc.begin(), epc.end()), entries_.size());
  if (fresh) entries_.push_back({epc, 0, when, when});
  Entry &e = entries_[at->second];
  ++e.reads;
  e.last = when;
}

void TagTable::print(std::FILE *out, Order order, std::size_t max_rows, bool decode) const {
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
  // The last column is not padded: no trailing blanks.
  const int seen = decode ? 12 : 0;
  std::fprintf(out, "%-*s  %6s  %-12s  %-*s%s\n", w, "EPC", "READS", "FIRST SEEN", seen,
               "LAST SEEN", decode ? "  URI" : "");
  const std::size_t shown = rows.size() <= max_rows ? rows.size() : max_rows - 1;
  for (std::size_t i = 0; i < shown; ++i) {
    const Entry &e = *rows[i];
    const std::optional<std::string> uri = decode ? tag_uri_of(e.epc) : std::nullopt;
    std::fprintf(out, "%-*s  %6u  %-12s  %-*s%s%s\n", w, to_hex(e.epc).c_str(), e.reads,
                 local_time(e.first).c_str(), seen, local_time(e.last).c_str(),
                 uri ? "  " : "", uri ? uri->c_str() : "");
  }
  if (shown < rows.size()) std::fprintf(out, "+%zu more\n", rows.size() - shown);
}

}  // namespace velkor::tool
