// velkor epc decode / encode and inventory --decode, run as a program.
#include <gtest/gtest.h>

#include "tests/tool/run_tool.h"

namespace velkor::test {
namespace {

struct EpcRun {
  std::string args;
  int exit_code;
  std::string out;  // standard output exactly, or the error line's part
};

class ToolEpc : public ::testing::TestWithParam<EpcRun> {};

TEST_P(ToolEpc, PrintsOrRefuses) {
  const EpcRun &c = GetParam();
  const ToolRun r = run_tool(c.args);
  EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
  if (c.exit_code == 0)
    EXPECT_EQ(r.out, c.out);
  else
    EXPECT_NE(r.err.find(c.out), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Codec, ToolEpc,
    ::testing::Values(
        EpcRun{"epc decode 3074257BF7194E4000001A85", 0,
               "urn:epc:tag:sgtin-96:3.0614141.812345.6789\n"
               "urn:epc:id:sgtin:0614141.812345.6789\n"},
        EpcRun{"epc encode urn:epc:tag:sgtin-96:3.0614141.812345.6789", 0,
               "3074257BF7194E4000001A85\n"},
        EpcRun{"epc encode urn:epc:id:sgtin:0614141.812345.6789 --filter 3", 0,
               "3074257BF7194E4000001A85\n"},
        EpcRun{"epc encode --gtin 80614141123458 --prefix-length 7 --serial 6789 --filter 3 "
               "--scheme sgtin-96", 0, "3074257BF7194E4000001A85\n"},
        EpcRun{"epc decode 307C257BF7194E4000001A85", 2, "partition: 7"},
        EpcRun{"epc decode 30G4", 2, "epc decode: 30G4:"},
        EpcRun{"epc encode --gtin 80614141123459 --prefix-length 7 --serial 1", 2,
               "GTIN: check digit 9"},
        EpcRun{"epc encode --gtin 80614141123458 --serial 1", 2, "needs --prefix-length"},
        EpcRun{"epc encode --sscc 106141412345678908 --prefix-length 7 --scheme sgtin-96", 2,
               "does not hold a sscc"},
        EpcRun{"epc encode urn:epc:tag:sgtin-96:3.0614141.812345.6789 --filter 1", 2,
               "carries its own filter"}));

// The emulated tags hold random EPCs of no scheme: each record says so.
TEST(ToolEpcInventory, DecodeAddsTheUriField) {
  const ToolRun r = run_tool("--emulate inventory --decode --json");
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> lines = lines_of(r.out);
  ASSERT_FALSE(lines.empty());
  for (const std::string &line : lines) EXPECT_NE(line.find("\"uri\":null"), std::string::npos);
}

}  // namespace
}  // namespace velkor::test
