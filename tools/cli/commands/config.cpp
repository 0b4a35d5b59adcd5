// config: the work-mode parameters, shown together (GetSystemParameter, the
// work time and the information block) or set with `config set`.
#include <cstdio>
#include <vector>

#include "app/events/reader_documents.h"
#include "app/reader/reader_config.h"
#include "app/reader/settings.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands/tag_target.h"
#include "tools/cli/options.h"
#include "tools/cli/output/json_output.h"

namespace velkor::tool {

namespace {

const Names kModes = names_of(work_mode_name, 4);
const Names kTagTypes = names_of(tag_type_name, 2);

void print(const ReaderConfig &c) {
  const Mask &m = c.mask;
  std::printf("mode             %d (%s)\n", c.mode, work_mode_name(c.mode));
  std::printf("interval         %d\n", c.interval);
  std::printf("response         %d %d\n", c.response[0], c.response[1]);
  std::printf("tag type         %d (%s)\n", c.tag_type, tag_type_name(c.tag_type));
  std::printf("EAS sensitivity  %d\n", c.eas_sensitivity);
  std::printf("mask             bank %d (%s), bit address %d, %d bits", m.bank, bank_name(m.bank),
              m.bit_address, m.bit_count());
  if (m.used()) std::printf(": %s", to_hex(m.bytes).c_str());
  std::printf("\n");
  std::printf("trigger time     %d\n", c.trigger_time);
  std::printf("TID              %d %d\n", c.tid[0], c.tid[1]);
  std::printf("work time        %d %d\n", c.work_time[0], c.work_time[1]);
  std::printf("scan time        %d ms\n", c.scan_time_ms);
  std::printf("antenna          0x%02X\n", c.antenna);
}

int show(Session &s, bool json) {
  const Result<ReaderConfig> config = read_config(s);
  if (!config) return report(config.error(), "config");
  if (json)
    print_json(events::config_document(*config));
  else
    print(*config);
  return kExitOk;
}

struct SetOptions {
  int mode = -1, interval = -1, tag_type = -1, eas_sensitivity = -1, trigger_time = -1;
  int scan_time = -1, antenna = -1, custom_function = -1;
  std::vector<int> response, tid, work_time;
  MaskOptions mask;

  ConfigChange change() const {
    auto given = [](int v) { return v >= 0 ? std::optional(v) : std::nullopt; };
    auto pair = [](const std::vector<int> &v) {
      return v.empty() ? std::nullopt : std::optional(std::array<int, 2>{v[0], v[1]});
    };
    ConfigChange c;
    c.mode = given(mode);
    c.interval = given(interval);
    c.tag_type = given(tag_type);
    c.eas_sensitivity = given(eas_sensitivity);
    c.trigger_time = given(trigger_time);
    c.scan_time = given(scan_time);
    c.antenna = given(antenna);
    c.custom_function = given(custom_function);
    c.response = pair(response);
    c.tid = pair(tid);
    c.work_time = pair(work_time);
    if (mask.used()) c.mask = mask;
    return c;
  }
};

void check_set(const SetOptions &o) {
  if (!o.change().any())
    throw CLI::ValidationError("config set", "nothing to set: give at least one setting");
  o.mask.validate();
}

// Sends the given settings in a fixed order and stops at the first refusal.
int set(Session &s, SetOptions &o) {
  const Status done = apply_config(s, o.change(),
                                   [](const char *name) { std::printf("%s set\n", name); });
  if (done) return kExitOk;
  const std::string what = "config set " + done.error().operation;
  return report(done.error(), what.c_str());
}

// An option of two bytes.
void add_pair(CLI::App *app, const char *name, std::vector<int> &values, const char *help) {
  app->add_option(name, values, help)->expected(2)->transform(number_in(0, 255))->type_name("N");
}

}  // namespace

void add_config_commands(Cli &cli) {
  CLI::App *config =
      cli.app.add_subcommand("config", "show the work-mode parameters (or `config set` them)");
  config->require_subcommand(0, 1);
  auto json = std::make_shared<bool>(false);
  add_json_flag(config, *json);
  config->callback([&cli, config, json] {
    if (config->get_subcommands().empty())
      cli.run([json](Session &s) { return show(s, *json); });
  });

  auto c = add_command<SetOptions>(cli, config, "set",
                                   "set work-mode parameters; the reader judges the values", set,
                                   check_set);
  SetOptions &o = *c.options;
  CLI::App *app = c.app;
  add_named(app, "--mode", o.mode, "mode", kModes, 0, 255,
            "work mode: answer, auto, trigger, trigger-inverted (or a number)");
  add_number(app, "--interval", o.interval, 0, 255, "pause between automatic inventories");
  add_pair(app, "--response", o.response, "the two response parameters of the automatic mode");
  add_named(app, "--tag-type", o.tag_type, "tag type", kTagTypes, 0, 255, "gen2 or 6b");
  add_number(app, "--eas-sensitivity", o.eas_sensitivity, 0, 255, "EAS sensitivity");
  o.mask.add_to(app, "the selection mask (hex bits) the reader applies in its automatic mode");
  add_number(app, "--trigger-time", o.trigger_time, 0, 255, "trigger time");
  add_pair(app, "--tid", o.tid, "the two TID parameters (word pointer and word count)");
  add_pair(app, "--work-time", o.work_time, "the two work-time bytes");
  add_number(app, "--scan-time", o.scan_time, 0, 255, "inventory scan time in 100 ms units");
  add_number(app, "--antenna", o.antenna, 0, 255, "antennas in use, one bit each");
  add_number(app, "--custom-function", o.custom_function, 0, 255, "custom tag function");
}

}  // namespace velkor::tool
