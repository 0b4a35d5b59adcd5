// The command table behind the fault matrix and the fuzzers names every
// exported command function, and nothing else.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "tests/support/command_table.h"

namespace velkor::test {
namespace {

// The entries of tests/exports.txt, written into the build at configure time.
const char *const kExportLines[] = {
#include "export_list.inc"
};

// "GetCRC(unsigned char*, int)" -> "GetCRC"; plain C names stay as they are.
std::string export_name(const std::string &line) { return line.substr(0, line.find('(')); }

TEST(CommandTable, CoversEveryExportAndNothingElse) {
  std::set<std::string> exported;
  for (const char *line : kExportLines) exported.insert(export_name(line));
  ASSERT_GT(exported.size(), 50u);

  std::map<std::string, int> listed;
  for (const CommandRow &row : command_rows()) ++listed[row.name];
  for (const NotACommand &other : not_commands()) ++listed[other.name];

  for (const auto &[name, times] : listed) {
    EXPECT_EQ(times, 1) << name << " is listed " << times << " times";
    EXPECT_TRUE(exported.count(name)) << name << " is not exported";
  }
  for (const std::string &name : exported)
    EXPECT_TRUE(listed.count(name)) << name << " has no row in the command table";
}

TEST(CommandTable, RowsThatCollectDeclareHowTheyAreChecked) {
  for (const CommandRow &row : command_rows()) {
    const bool collects = time_limit_ms(row.collector) > 0;
    EXPECT_EQ(collects, row.collector != Collector::kLocal &&
                            row.collector != Collector::kControl)
        << row.name;
    // Only the multi-frame collectors trust the frames without CRC and echo.
    if (row.collector == Collector::kSingle || row.collector == Collector::kLength) {
      EXPECT_TRUE(row.crc) << row.name;
    }
  }
}

}  // namespace
}  // namespace velkor::test
