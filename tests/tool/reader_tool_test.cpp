// The reader's settings, its buffer and 6B tags through the tool, against
// the emulator: each setter followed by its getter on the same reader.
#include <gtest/gtest.h>

#include "tests/tool/emulated_model.h"
#include "tests/tool/run_tool.h"

namespace velkor::test {
namespace {

struct Case {
  const char *name;
  std::string args;   ///< after --emulate; with `lines`, the script
  std::string lines;  ///< a script for `--emulate script`, or empty
  std::vector<std::string> out;  ///< lines standard output must hold, in order
  int exit_code = 0;
  std::string err = "";
};

class ToolReader : public ::testing::TestWithParam<Case> {};

TEST_P(ToolReader, PrintsWhatTheReaderSays) {
  const Case &c = GetParam();
  const ToolRun r = c.lines.empty() ? run_tool("--emulate " + c.args)
                                    : run_tool("--emulate script", c.lines);
  EXPECT_EQ(r.exit_code, c.exit_code) << r.err;
  EXPECT_EQ(r.err, c.err);
  std::size_t at = 0;
  for (const std::string &line : c.out) {
    const std::size_t found = r.out.find(line + "\n", at);
    ASSERT_NE(found, std::string::npos) << "'" << line << "' missing in order from\n" << r.out;
    at = found + line.size();
  }
}

std::string lines(std::initializer_list<std::string> commands) {
  std::string text;
  for (const std::string &c : commands) text += c + "\n";
  return text;
}

const emu::Reader kModel = emulated_model();
const std::string kId0 = app::to_hex(app::Bytes(kModel.tags.iso6b[0].id.begin(),
                                                  kModel.tags.iso6b[0].id.end()));
const std::string kId1 = app::to_hex(app::Bytes(kModel.tags.iso6b[1].id.begin(),
                                                  kModel.tags.iso6b[1].id.end()));

std::vector<std::string> gen2_list() {
  std::vector<std::string> out = emulated_epcs();
  out.push_back("6 tags");
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ToolReader,
    ::testing::Values(
        Case{"region_shows_the_plan_in_use", "region", "",
             {"region 2, channels 0 to 49 (902.75 MHz to 927.25 MHz)"}},
        Case{"region_set_whole_plan", "", lines({"region set 3", "region"}),
             {"region 3 set", "region 3, channels 0 to 31 (917.1 MHz to 923.3 MHz)"}},
        Case{"region_set_range", "", lines({"region set 1 --lowest 2 --highest 5", "region"}),
             {"region 1 set", "region 1, channels 2 to 5 (920.625 MHz to 921.375 MHz)"}},
        // Region 5 travels packed as region 2 with its channels raised by 26.
        Case{"region_5_reads_back_as_set", "",
             lines({"region set 5", "region", "region --raw"}),
             {"region 5 set", "region 5, channels 0 to 18 (916.8 MHz to 923.4 MHz)",
              "region 5, channels 0 to 18 (916.8 MHz to 923.4 MHz)",
              "raw 0x2C 0x9A: region bits 2, channels 26 to 44"}},
        Case{"region_channels_needs_no_reader", "region channels 4", "",
             {" 0  865.1 MHz", " 1  865.3 MHz", "14  867.9 MHz"}},
        Case{"power_set_then_shown", "power --set 20", "", {"power 20 dBm"}},
        Case{"power_refused_by_the_reader", "power --set 40", "", {}, 1,
             "velkor: power failed: 0xFF (parameter out of range)\n"},
        Case{"config_shows_the_defaults", "config", "",
             {"mode             0 (answer)", "tag type         0 (gen2)",
              "mask             bank 1 (epc), bit address 0, 0 bits", "TID              0 6",
              "scan time        1000 ms", "antenna          0x01"}},
        Case{"config_set_then_shown", "",
             lines({"config set --mode auto --interval 5 --response 2 1 --tag-type 6b "
                    "--eas-sensitivity 3 --mask 3008 --mask-addr 0x20 --trigger-time 9 "
                    "--tid 2 4 --work-time 10 0 --scan-time 20 --antenna 3 "
                    "--custom-function 1",
                    "config"}),
             {"mode set", "interval set", "response set", "tag type set",
              "EAS sensitivity set", "mask set", "trigger time set", "TID set",
              "work time set", "scan time set", "antenna set", "custom function set",
              "mode             1 (auto)", "interval         5", "response         2 1",
              "tag type         1 (6b)", "EAS sensitivity  3",
              "mask             bank 1 (epc), bit address 32, 16 bits: 3008",
              "trigger time     9", "TID              2 4", "work time        10 0",
              "scan time        2000 ms", "antenna          0x03"}},
        Case{"config_set_stops_at_the_first_refusal", "config set --mode 9 --interval 5", "",
             {}, 1, "velkor: config set mode failed: 0xFF (parameter out of range)\n"},
        Case{"clock_shows_the_date_and_the_bytes", "clock", "",
             {"2024-01-01T00:00:00 (18 01 01 00 00 00)"}},
        Case{"clock_set_a_date", "clock --set 2024-02-29T12:30:05", "",
             {"2024-02-29T12:30:05 (18 02 1D 0C 1E 05)"}},
        Case{"gpio_set_then_shown", "gpio --set 3", "", {"gpio 0x03 (bits 7-0: 0000 0011)"}},
        Case{"beep_set_then_shown", "beep --set off", "", {"beep on inventory off"}},
        Case{"beep_control", "beep --control 1 2 3", "",
             {"buzzer and LEDs driven", "beep on inventory on"}}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Buffer, ToolReader,
    ::testing::Values(
        Case{"inventory_count_read_clear", "",
             lines({"buffer inventory", "buffer count", "buffer read", "buffer clear",
                    "buffer count"}),
             [] {
               std::vector<std::string> out = {"6 tags seen this round; the buffer holds 6",
                                               "the buffer holds 6 tags"};
               for (const std::string &l : gen2_list()) out.push_back(l);
               out.insert(out.end(), {"buffer cleared", "the buffer holds 0 tags"});
               return out;
             }()},
        Case{"inventory_with_a_mask", "",
             lines({"buffer inventory --mask " + emulated_epcs()[2].substr(0, 4),
                    "buffer read"}),
             {"1 tag seen this round; the buffer holds 1", emulated_epcs()[2], "1 tag"}},
        Case{"save_len_set_then_shown", "",
             lines({"buffer save-len --set 4", "buffer inventory", "buffer read"}),
             {"save length 4 bytes", emulated_epcs()[0].substr(0, 8)}},
        Case{"save_len_refused", "buffer save-len --set 0", "", {}, 1,
             "velkor: buffer save-len failed: 0xFF (parameter out of range)\n"}),
    [](const auto &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Iso6b, ToolReader,
    ::testing::Values(
        Case{"inventory_lists_the_identifiers", "6b inventory", "",
             {kId0, kId1, "2 tags, antenna 0x01"}},
        Case{"inventory_by_condition",
             "6b inventory --condition eq --byte-mask 0xFF --data " + kId1, "",
             {kId1, "1 tag, antenna 0x01"}},
        Case{"single_inventory_prints_the_id_read_takes", "6b inventory --single", "", {kId0}},
        Case{"write_then_read", "",
             lines({"6b write --id " + kId1 + " --addr 20 --data A1B2C3",
                    "6b read --id " + kId1 + " --addr 19 --bytes 5"}),
             {"wrote 3 bytes", "00A1B2C300"}},
        Case{"lock_then_check_then_write_is_refused", "",
             lines({"6b check-lock --id " + kId0 + " --addr 30", "6b lock --id " + kId0 +
                    " --addr 30", "6b check-lock --id " + kId0 + " --addr 30",
                    "6b write --id " + kId0 + " --addr 30 --data FF"}),
             {"byte 30 not locked", "byte 30 locked", "byte 30 locked"}, 1,
             "velkor: 6b write failed: 0xFC (tag error: memory locked)\n"
             "velkor: script stopped at line 4\n"},
        Case{"an_unknown_identifier_finds_no_tag", "6b read --id 0102030405060708 --addr 0", "",
             {}, 3, "velkor: 6b read failed: 0xFB (no tag in the field)\n"}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkor::test
