// --json on every command that prints data: each line of standard output is
// one JSON document, and it carries what the reader said.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/tool/emulated_model.h"
#include "tests/tool/run_tool.h"

namespace velkor::test {
namespace {

struct JsonCase {
  const char *name;
  std::string args;       ///< after --emulate
  std::size_t documents;  ///< lines of standard output, each a document
  const char *key;       ///< in the last document
  nlohmann::json value;  ///< its value there
};

class ToolJson : public ::testing::TestWithParam<JsonCase> {};

TEST_P(ToolJson, EveryLineIsOneDocument) {
  const JsonCase &c = GetParam();
  const ToolRun r = run_tool("--emulate " + c.args);
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), c.documents) << r.out;
  nlohmann::json last;
  for (const std::string &line : lines) {
    ASSERT_TRUE(nlohmann::json::accept(line)) << line;
    last = nlohmann::json::parse(line);
    EXPECT_TRUE(last.is_object()) << line;
  }
  EXPECT_EQ(last.at(c.key), c.value) << r.out;
}

const emu::Reader kModel = emulated_model();
std::string hex(const std::array<std::uint8_t, 8> &id) {
  return app::to_hex(app::Bytes(id.begin(), id.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ToolJson,
    ::testing::Values(
        JsonCase{"list", "list --json", 1, "region", 2},
        JsonCase{"info", "info --json", 1, "power_dbm", 30},
        JsonCase{"read", "read --bank epc --addr 2 --words 6 --json", 1, "data",
                 emulated_epcs()[0]},
        JsonCase{"region", "region --json --raw", 1, "region", 2},
        JsonCase{"region_channels", "region channels 4 --json", 1, "region", 4},
        JsonCase{"power", "power --set 20 --json", 1, "power_dbm", 20},
        JsonCase{"config", "config --json", 1, "tid", {0, 6}},
        JsonCase{"clock", "clock --set 2024-05-01T12:30:59 --json", 1, "time",
                 "2024-05-01T12:30:59"},
        JsonCase{"gpio", "gpio --set 3 --json", 1, "gpio", 3},
        JsonCase{"buffer_inventory", "buffer inventory --json", 1, "seen", 6},
        JsonCase{"buffer_count", "buffer count --json", 1, "held", 0},
        JsonCase{"buffer_read", "buffer read --json", 1, "epcs",
                 nlohmann::json::array()},
        JsonCase{"buffer_save_len", "buffer save-len --json", 1, "save_length", 62},
        JsonCase{"6b_inventory", "6b inventory --json", 2, "id",
                 hex(kModel.tags.iso6b[1].id)},
        JsonCase{"6b_single", "6b inventory --single --json", 1, "id",
                 hex(kModel.tags.iso6b[0].id)},
        JsonCase{"6b_read", "6b read --id " + hex(kModel.tags.iso6b[0].id) +
                                " --addr 0 --bytes 8 --json",
                 1, "data", hex(kModel.tags.iso6b[0].id)},
        JsonCase{"6b_check_lock", "6b check-lock --id " + hex(kModel.tags.iso6b[0].id) +
                                      " --addr 0 --json",
                 1, "locked", true},
        JsonCase{"epc_decode", "epc decode 3034257BF7194E4000001A85 --json", 1,
                 "scheme", "sgtin-96"},
        JsonCase{"epc_encode", "epc encode urn:epc:tag:sgtin-96:1.0614141.812345.6789 --json",
                 1, "epc", "3034257BF7194E4000001A85"}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkor::test
