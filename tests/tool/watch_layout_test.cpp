// The watch's table and status line laid out for a terminal of any width,
// without a terminal: widths times column sets, every line within the
// width, elided in its long columns before anything is cut.
#include <gtest/gtest.h>

#include "tools/cli/output/tag_table_text.h"
#include "tools/cli/output/terminal_size.h"
#include "tools/cli/output/watch_printer.h"

namespace velkor::tool {
namespace {

const std::string kEllipsis = "\u2026";

// Twelve tags with 96-bit EPCs and 6-word TIDs; one holds an SGTIN, so the
// URI column has a long cell.
TagTable twelve_tags() {
  TagTable table;
  for (int i = 0; i < 12; ++i) {
    TagRead read;
    read.round = 1;
    read.epc = *parse_hex(i == 0 ? "3074257BF7194E4000001A85"
                                 : "E2801160600002" + std::to_string(1000000000 + i),
                          nullptr);
    read.tid = *parse_hex("E2801160200074F2B30908" + std::to_string(10 + i), nullptr);
    read.antenna = 1;
    table.add(read, 1000 + i);
  }
  return table;
}

// Cells of a line: runs of text between gaps of two blanks or more.
std::size_t fields(const std::string &line) {
  std::size_t n = 0;
  for (std::size_t at = line.find_first_not_of(' '); at != std::string::npos;
       at = line.find_first_not_of(' ', line.find("  ", at))) {
    ++n;
    if (line.find("  ", at) == std::string::npos) break;
  }
  return n;
}

struct Layout {
  const char *name;
  std::vector<Column> columns;
  std::size_t narrowest;  ///< the long columns at their narrowest, the others whole
};

const std::vector<Layout> kLayouts = {
    {"default", {Column::kEpc, Column::kReads, Column::kFirst, Column::kLast}, 42},
    {"tid", {Column::kEpc, Column::kReads, Column::kFirst, Column::kLast, Column::kTid}, 51},
    {"tid_decode",
     {Column::kEpc, Column::kReads, Column::kFirst, Column::kLast, Column::kTid, Column::kUri},
     60},
    {"every_column",
     {Column::kEpc, Column::kReads, Column::kFirst, Column::kLast, Column::kAntenna,
      Column::kTid, Column::kUri},
     69},
};

class WatchLayout : public ::testing::TestWithParam<std::size_t> {};

TEST_P(WatchLayout, EveryLineFitsAndRowsStayWhole) {
  const std::size_t width = GetParam();
  const TagTable table = twelve_tags();
  for (const Layout &l : kLayouts) {
    SCOPED_TRACE(l.name);
    const std::vector<std::string> whole =
        table_lines(table, TagTable::Order::kEpc, l.columns, 10);
    const std::vector<std::string> lines =
        table_lines(table, TagTable::Order::kEpc, l.columns, 10, width);
    // A header, nine tags and "+3 more": one line each, however narrow.
    ASSERT_EQ(lines.size(), 11u);
    ASSERT_EQ(whole.size(), 11u);
    EXPECT_EQ(lines.back(), fit_width("+3 more", width));
    bool fits = true;
    for (const std::string &line : whole) fits = fits && display_width(line) <= width;
    for (std::size_t i = 0; i < 10; ++i) {
      EXPECT_LE(display_width(lines[i]), width) << lines[i];
      if (fits) {
        EXPECT_EQ(lines[i], whole[i]);  // room enough: nothing elided
        continue;
      }
      if (i > 0 && display_width(whole[i]) > width) {  // the titles are short
        EXPECT_NE(lines[i].find(kEllipsis), std::string::npos) << lines[i];
      }
      // The long columns give way first: while the others fit whole, every
      // column is there, two blanks from the next.
      if (width >= l.narrowest) {
        EXPECT_EQ(fields(lines[i]), l.columns.size()) << lines[i];
      }
    }
    // An elided EPC keeps both of its ends.
    if (width >= l.narrowest) {
      EXPECT_EQ(lines[1].rfind("307", 0), 0u) << lines[1];
      EXPECT_NE(lines[1].find("A85"), std::string::npos) << lines[1];
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, WatchLayout, ::testing::Values(10, 20, 40, 60, 80, 120, 200));

TEST(WatchLayout, AWideTerminalShowsEveryCellWhole) {
  const TagTable table = twelve_tags();
  const std::vector<std::string> lines =
      table_lines(table, TagTable::Order::kEpc, kLayouts[3].columns, kUnlimited, 200);
  EXPECT_NE(lines[1].find("3074257BF7194E4000001A85"), std::string::npos);
  EXPECT_NE(lines[1].find("urn:epc:tag:sgtin-96:3.0614141.812345.6789"), std::string::npos);
  for (const std::string &line : lines) EXPECT_EQ(line.find(kEllipsis), std::string::npos);
}

TEST(WatchLayout, TheStatusLineCountsReadsPerSecondAndTheTime) {
  EXPECT_EQ(watch_status_line(3, 12, 36, 1200, "reading; Ctrl-C stops", 200),
            "3 rounds, 12 unique tags, 36 reads, 30.0 reads/s, 1.2 s - reading; Ctrl-C stops");
  EXPECT_EQ(watch_status_line(1, 1, 1, 0, "reading", 200),
            "1 round, 1 unique tag, 1 read, 0.0 reads/s, 0.0 s - reading");
  const std::string cut = watch_status_line(3, 12, 36, 1200, "reading; Ctrl-C stops", 30);
  EXPECT_EQ(display_width(cut), 30u);
  EXPECT_EQ(cut.substr(cut.size() - kEllipsis.size()), kEllipsis);
}

struct SizeCase {
  unsigned rows, columns;     // the terminal's answer; 0: none
  const char *lines, *cols;   // $LINES, $COLUMNS
  std::size_t want_rows, want_columns;
};

TEST(TerminalSize, TheTerminalThenTheVariablesThenEightyByTwentyFour) {
  for (const SizeCase &c : {SizeCase{30, 100, "50", "132", 30, 100},
                            SizeCase{0, 0, "50", "132", 50, 132},
                            SizeCase{0, 0, nullptr, nullptr, 24, 80},
                            SizeCase{0, 0, "0", "-5", 24, 80},
                            SizeCase{0, 0, "4x", "999999", 24, 80},
                            SizeCase{40, 0, nullptr, "60", 40, 60}}) {
    const TerminalSize s = choose_terminal_size(c.rows, c.columns, c.lines, c.cols);
    EXPECT_EQ(s.rows, c.want_rows) << c.rows << " " << (c.lines ? c.lines : "unset");
    EXPECT_EQ(s.columns, c.want_columns) << c.columns << " " << (c.cols ? c.cols : "unset");
  }
}

}  // namespace
}  // namespace velkor::tool
