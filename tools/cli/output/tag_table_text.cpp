#include "tools/cli/output/tag_table_text.h"

#include <algorithm>
#include <numeric>

#include "app/base/time_text.h"
#include "app/tags/epc_text.h"

namespace velkor::tool {

const std::vector<std::string> &column_names() {
  static const std::vector<std::string> names = {"epc",     "reads", "first", "last",
                                                 "antenna", "tid",   "uri"};
  return names;
}

namespace {

const char kEllipsis[] = "\u2026";
constexpr std::size_t kGap = 2;  // blanks between columns
// The narrowest an elided cell gets: a few characters on either side of "…".
constexpr std::size_t kNarrowest = 7;

struct ColumnLayout {
  const char *title;
  bool right;   // numbers line up on the right
  bool shrinks; // long hex or URIs give way when the terminal is narrow
};

const ColumnLayout kLayouts[] = {{"EPC", false, true},         {"READS", true, false},
                                 {"FIRST SEEN", false, false}, {"LAST SEEN", false, false},
                                 {"ANTENNA", true, false},     {"TID", false, true},
                                 {"URI", false, true}};

const ColumnLayout &layout(Column c) { return kLayouts[static_cast<int>(c)]; }

std::string cell(const TagTable::Entry &e, Column column) {
  char text[8];
  switch (column) {
    case Column::kEpc: return e.epc.empty() ? "-" : to_hex(e.epc);
    case Column::kReads: return std::to_string(e.reads);
    case Column::kFirst: return local_time(e.first);
    case Column::kLast: return local_time(e.last);
    case Column::kAntenna:
      std::snprintf(text, sizeof text, "0x%02X", e.antenna & 0xFF);
      return text;
    case Column::kTid: return e.tid.empty() ? "-" : to_hex(e.tid);
    case Column::kUri: return tag_uri_of(e.epc).value_or("-");
  }
  return "";
}

// An ASCII cell cut to width with "…" in its middle: both ends of an EPC
// tell tags apart (its serial is at the end).
std::string elide_middle(const std::string &text, std::size_t width) {
  if (text.size() <= width) return text;
  if (width == 0) return "";
  const std::size_t tail = (width - 1) / 2, head = width - 1 - tail;
  return text.substr(0, head) + kEllipsis + text.substr(text.size() - tail);
}

// Shrinks the widest column that may shrink, one column of text at a time,
// until the line fits or none may shrink further.
void shrink_to(std::vector<std::size_t> &widths, const std::vector<Column> &columns,
               std::size_t width) {
  if (width == kUnlimited || columns.empty()) return;
  std::size_t total =
      std::accumulate(widths.begin(), widths.end(), kGap * (columns.size() - 1));
  while (total > width) {
    std::size_t widest = columns.size();
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const std::size_t narrowest =
          std::max(kNarrowest, std::string(layout(columns[i]).title).size());
      if (layout(columns[i]).shrinks && widths[i] > narrowest &&
          (widest == columns.size() || widths[i] > widths[widest]))
        widest = i;
    }
    if (widest == columns.size()) return;
    --widths[widest];
    --total;
  }
}

// Cells padded to their column's width, two blanks apart; the last cell is
// not padded, so no line ends in blanks.
std::string row_text(const std::vector<std::string> &cells, const std::vector<Column> &columns,
                     const std::vector<std::size_t> &widths) {
  std::string line;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::string text = elide_middle(cells[i], widths[i]);
    const std::size_t pad = widths[i] - std::min(display_width(text), widths[i]);
    const bool right = layout(columns[i]).right;
    if (i > 0) line += std::string(kGap, ' ');
    if (right) line += std::string(pad, ' ');
    line += text;
    if (!right && i + 1 < cells.size()) line += std::string(pad, ' ');
  }
  return line;
}

}  // namespace

std::size_t display_width(const std::string &text) {
  return static_cast<std::size_t>(std::count_if(
      text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string fit_width(const std::string &text, std::size_t width) {
  if (display_width(text) <= width) return text;
  if (width == 0) return "";
  // Keep width - 1 characters, whole ones, then "…".
  std::string cut;
  std::size_t shown = 0;
  for (char c : text) {
    const bool starts = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (starts && shown++ == width - 1) break;
    cut += c;
  }
  return cut + kEllipsis;
}

std::vector<std::string> table_lines(const TagTable &table, TagTable::Order order,
                                     const std::vector<Column> &columns, std::size_t max_rows,
                                     std::size_t width) {
  const std::vector<const TagTable::Entry *> rows = table.sorted(order);
  const std::size_t shown =
      rows.size() <= max_rows ? rows.size() : (max_rows > 0 ? max_rows - 1 : 0);
  std::vector<std::vector<std::string>> cells(shown + 1);
  for (const Column c : columns) cells[0].push_back(layout(c).title);
  for (std::size_t r = 0; r < shown; ++r)
    for (const Column c : columns) cells[r + 1].push_back(cell(*rows[r], c));
  std::vector<std::size_t> widths;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    std::size_t w = 0;
    for (const auto &row : cells) w = std::max(w, row[i].size());
    widths.push_back(w);
  }
  shrink_to(widths, columns, width);
  std::vector<std::string> lines;
  for (const auto &row : cells) lines.push_back(fit_width(row_text(row, columns, widths), width));
  if (shown < rows.size())
    lines.push_back(fit_width("+" + std::to_string(rows.size() - shown) + " more", width));
  return lines;
}

void print_table(std::FILE *out, const TagTable &table, TagTable::Order order,
                 const std::vector<Column> &columns, std::size_t max_rows, std::size_t width) {
  for (const std::string &line : table_lines(table, order, columns, max_rows, width))
    std::fprintf(out, "%s\n", line.c_str());
}

}  // namespace velkor::tool
