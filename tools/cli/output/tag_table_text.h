// A watch's tag table as text: the columns asked for, aligned, in the
// order asked for, cut to the rows a screen holds.
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

/// The table with a header line, sorted, with the given columns.  With more
/// tags than max_rows, the first max_rows - 1 and a "+N more" line.
void print_table(std::FILE *out, const TagTable &table, TagTable::Order order,
                 const std::vector<Column> &columns,
                 std::size_t max_rows = static_cast<std::size_t>(-1));

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_TAG_TABLE_TEXT_H
