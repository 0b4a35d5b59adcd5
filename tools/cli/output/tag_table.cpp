#include "tools/cli/output/tag_table.h"

#include <algorithm>

#include "tools/cli/output/epc_text.h"

namespace velkor::tool {

void TagTable::add(const TagRead &read) {
  ++reads_;
  const Bytes tid = read.tid ? *read.tid : Bytes{};
  std::string key(read.epc.begin(), read.epc.end());
  // A reader that sends TIDs alone: the TID names the tag.
  if (read.epc.empty()) key = "tid:" + std::string(tid.begin(), tid.end());
  const auto [at, fresh] = index_.emplace(key, entries_.size());
  if (fresh) entries_.push_back({read.epc, 0, read.time, read.time, read.antenna, tid});
  Entry &e = entries_[at->second];
  ++e.reads;
  e.last = read.time;
  e.antenna = read.antenna;
  if (read.tid) e.tid = tid;
}

const std::vector<std::string> &TagTable::column_names() {
  static const std::vector<std::string> names = {"epc",     "reads", "first", "last",
                                                 "antenna", "tid",   "uri"};
  return names;
}

namespace {

struct ColumnLayout {
  const char *title;
  bool right;  // numbers line up on the right
};

const ColumnLayout kLayouts[] = {{"EPC", false},     {"READS", true}, {"FIRST SEEN", false},
                                 {"LAST SEEN", false}, {"ANTENNA", true}, {"TID", false},
                                 {"URI", false}};

std::string cell(const TagTable::Entry &e, TagTable::Column column) {
  char text[8];
  switch (column) {
    case TagTable::Column::kEpc: return e.epc.empty() ? "-" : to_hex(e.epc);
    case TagTable::Column::kReads: return std::to_string(e.reads);
    case TagTable::Column::kFirst: return local_time(e.first);
    case TagTable::Column::kLast: return local_time(e.last);
    case TagTable::Column::kAntenna:
      std::snprintf(text, sizeof text, "0x%02X", e.antenna & 0xFF);
      return text;
    case TagTable::Column::kTid: return e.tid.empty() ? "-" : to_hex(e.tid);
    case TagTable::Column::kUri: return tag_uri_of(e.epc).value_or("-");
  }
  return "";
}

// Cells padded to their column's width, two blanks apart; the last cell is
// not padded, so no line ends in blanks.
void print_row(std::FILE *out, const std::vector<std::string> &cells,
               const std::vector<TagTable::Column> &columns, const std::vector<int> &widths) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const bool right = kLayouts[static_cast<int>(columns[i])].right;
    const std::size_t pad = std::size_t(widths[i]) - std::min(cells[i].size(), std::size_t(widths[i]));
    const bool last = i + 1 == cells.size();
    if (i > 0) line += "  ";
    if (right) line += std::string(pad, ' ');
    line += cells[i];
    if (!right && !last) line += std::string(pad, ' ');
  }
  std::fprintf(out, "%s\n", line.c_str());
}

}  // namespace

void TagTable::print(std::FILE *out, Order order, const std::vector<Column> &columns,
                     std::size_t max_rows) const {
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
  const std::size_t shown = rows.size() <= max_rows ? rows.size() : max_rows - 1;
  std::vector<std::vector<std::string>> cells(shown + 1);
  std::vector<int> widths;
  for (const Column c : columns) cells[0].push_back(kLayouts[static_cast<int>(c)].title);
  for (std::size_t r = 0; r < shown; ++r)
    for (const Column c : columns) cells[r + 1].push_back(cell(*rows[r], c));
  for (std::size_t i = 0; i < columns.size(); ++i) {
    std::size_t width = 0;
    for (const auto &row : cells) width = std::max(width, row[i].size());
    widths.push_back(static_cast<int>(width));
  }
  for (const auto &row : cells) print_row(out, row, columns, widths);
  if (shown < rows.size()) std::fprintf(out, "+%zu more\n", rows.size() - shown);
}

}  // namespace velkor::tool
