// A watch's tag table as text: the columns asked for, aligned, in the
// order asked for, cut to the rows a screen holds and to its width.
#ifndef VELKOR_TOOLS_TAG_TABLE_TEXT_H
#define VELKOR_TOOLS_TAG_TABLE_TEXT_H

#include <cstdio>
#include <string>
#include <vector>

#include "app/watch/tag_table.h"
#include "tools/cli/core_names.h"

namespace velkor::tool {

enum class Column { kEpc, kReads, kFirst, kLast, kAntenna, kTid, kUri };

/// The columns' names as --columns takes them, in Column's order.
const std::vector<std::string> &column_names();

/// No limit on rows or width.
constexpr std::size_t kUnlimited = static_cast<std::size_t>(-1);

/// Columns a terminal shows text in: its bytes, except that each UTF-8
/// character (the "…" of an elision) counts once.
std::size_t display_width(const std::string &text);

/// text cut to `width` columns, ending in "…" when it had to be cut.
std::string fit_width(const std::string &text, std::size_t width);

/// The table's lines (no newlines): a header line, then the tags sorted,
/// with the given columns; with more tags than max_rows, the first
/// max_rows - 1 and a "+N more" line.  No line is wider than `width`: the
/// EPC, TID and URI columns shrink first, their cells elided in the middle
/// with "…"; when even that is too wide each line is cut with "…".
std::vector<std::string> table_lines(const TagTable &table, TagTable::Order order,
                                     const std::vector<Column> &columns,
                                     std::size_t max_rows = kUnlimited,
                                     std::size_t width = kUnlimited);

/// The table_lines, each with a newline, to out.
void print_table(std::FILE *out, const TagTable &table, TagTable::Order order,
                 const std::vector<Column> &columns, std::size_t max_rows = kUnlimited,
                 std::size_t width = kUnlimited);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TAG_TABLE_TEXT_H
