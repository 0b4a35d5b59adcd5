// velkor epc decode / encode and inventory --decode, run as a program.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/tool/run_tool.h"
#include "tests/tool/scratch.h"

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
        EpcRun{"epc decode 3074257BF7194E4000001A85 3074257bf7194e40000003e8", 0,
               "3074257BF7194E4000001A85  urn:epc:tag:sgtin-96:3.0614141.812345.6789  "
               "urn:epc:id:sgtin:0614141.812345.6789\n"
               "3074257BF7194E40000003E8  urn:epc:tag:sgtin-96:3.0614141.812345.1000  "
               "urn:epc:id:sgtin:0614141.812345.1000\n"},
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

// `velkor <left> | velkor <right>` through the shell, a real pipe; the
// left side's stderr is dropped, the right side's kept.
ToolRun piped(const Scratch &dir, const std::string &left, const std::string &right) {
  const std::string tool = std::string("'") + VELKOR_TOOL_PATH + "' ";
  const std::string err = dir.path("err");
  ToolRun r;
  FILE *p = ::popen((tool + left + " 2>/dev/null | " + tool + right + " 2>" + err).c_str(), "r");
  if (!p) return r;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, p)) > 0;) r.out.append(chunk, n);
  const int status = ::pclose(p);
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(err);
  std::stringstream text;
  text << in.rdbuf();
  r.err = text.str();
  return r;
}

const std::string kDecoded6789 =
    "3074257BF7194E4000001A85  urn:epc:tag:sgtin-96:3.0614141.812345.6789  "
    "urn:epc:id:sgtin:0614141.812345.6789\n";
const std::string kDecoded1000 =
    "3074257BF7194E40000003E8  urn:epc:tag:sgtin-96:3.0614141.812345.1000  "
    "urn:epc:id:sgtin:0614141.812345.1000\n";

// The inventory's output as it comes, in each of its text shapes: every
// EPC named beside its URIs, the one of no scheme refused by name.
TEST(ToolEpcDecode, ReadsTheEpcsAnInventoryPipesIn) {
  Scratch dir;
  const std::string reader = "--emulate-tags 3 --emulate-state " + dir.path("reader.json") + " ";
  const ToolRun named = run_tool(reader + "script",
                                 "write-epc 3074257BF7194E4000001A85 --epc 5CC1EC67555EC90BB5B90280\n"
                                 "write-epc 3074257BF7194E40000003E8 --epc 8BFE5DC0A28A57A84A3B0B63\n");
  ASSERT_EQ(named.exit_code, 0) << named.err;
  // The watch's table is in EPC order.
  for (const auto &[inventory, decoded] :
       {std::pair{"inventory", kDecoded6789 + kDecoded1000},
        std::pair{"inventory --tid --decode", kDecoded6789 + kDecoded1000},
        std::pair{"inventory --watch --rounds 2 --sort epc", kDecoded1000 + kDecoded6789}}) {
    SCOPED_TRACE(inventory);
    const ToolRun r = piped(dir, reader + inventory, "epc decode");
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.out, decoded);
    EXPECT_EQ(r.err, "velkor: epc decode: 8FCD06ACB99FB6F77135F7AB: header: 0x8F is not the "
                     "header of a scheme this codec knows\n");
  }
}

TEST(ToolEpcDecode, StandardInputsLinesAreBoundedAndCounted) {
  // Blank lines and the table's header are no EPCs; a line past the bound
  // is refused by number, and the lines after it still count.
  const ToolRun r = run_tool("epc decode", "\nEPC  READS\n" + std::string(5000, 'A') +
                                               "\n  3074257BF7194E40000003E8\t3\n3074257BF7194E4000001A85");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.out, kDecoded1000 + kDecoded6789);
  EXPECT_EQ(r.err, "velkor: epc decode: standard input's line 3 is longer than 4096 bytes\n");
  // Nothing piped in, nothing out; a script's input is its own lines.
  EXPECT_EQ(run_tool("epc decode").exit_code, 0);
  const ToolRun script = run_tool("--emulate script", "epc decode\n");
  EXPECT_EQ(script.exit_code, 2);
  EXPECT_NE(script.err.find("velkor: epc decode: HEX: a script names its EPCs"), std::string::npos)
      << script.err;
}

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
