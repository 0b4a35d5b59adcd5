// config: the work-mode parameters, shown together (GetSystemParameter, the
// work time and the information block) or set with `config set`.
#include <cstdio>
#include <vector>

#include "app/reader/reader_info.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands/tag_target.h"
#include "tools/cli/options.h"
#include "tools/cli/output/json_output.h"

namespace velkor::tool {

namespace {

const Names kModes = {{"answer", 0}, {"auto", 1}, {"trigger", 2}, {"trigger-inverted", 3}};
const Names kTagTypes = {{"gen2", 0}, {"6b", 1}};

const char *name_of(const Names &names, int value) {
  for (const Name &n : names)
    if (n.value == value) return n.name;
  return "?";
}

unsigned char byte(int v) { return static_cast<unsigned char>(v); }

struct Parameters {
  unsigned char mode = 0, interval = 0, response[2] = {}, tag_type = 0, eas = 0;
  unsigned char mask_bank = 0, mask_address[2] = {}, mask_bits = 0, mask[32] = {};
  unsigned char trigger_time = 0, tid[2] = {}, work_time[2] = {};
};

void print(const Parameters &p, const ReaderInfo &info) {
  std::printf("mode             %u (%s)\n", p.mode, name_of(kModes, p.mode));
  std::printf("interval         %u\n", p.interval);
  std::printf("response         %u %u\n", p.response[0], p.response[1]);
  std::printf("tag type         %u (%s)\n", p.tag_type, name_of(kTagTypes, p.tag_type));
  std::printf("EAS sensitivity  %u\n", p.eas);
  std::printf("mask             bank %u (%s), bit address %u, %u bits", p.mask_bank,
              name_of(kBanks, p.mask_bank), (p.mask_address[0] << 8) | p.mask_address[1],
              p.mask_bits);
  if (p.mask_bits > 0) std::printf(": %s", to_hex(p.mask, (p.mask_bits + 7u) / 8u).c_str());
  std::printf("\n");
  std::printf("trigger time     %u\n", p.trigger_time);
  std::printf("TID              %u %u\n", p.tid[0], p.tid[1]);
  std::printf("work time        %u %u\n", p.work_time[0], p.work_time[1]);
  std::printf("scan time        %d ms\n", info.scan_time_ms());
  std::printf("antenna          0x%02X\n", info.antenna());
}

Json to_json(const Parameters &p, const ReaderInfo &info) {
  return {{"mode", p.mode},
          {"mode_name", name_of(kModes, p.mode)},
          {"interval", p.interval},
          {"response", {p.response[0], p.response[1]}},
          {"tag_type", p.tag_type},
          {"tag_type_name", name_of(kTagTypes, p.tag_type)},
          {"eas_sensitivity", p.eas},
          {"mask",
           {{"bank", p.mask_bank},
            {"bit_address", (p.mask_address[0] << 8) | p.mask_address[1]},
            {"bits", p.mask_bits},
            {"data", to_hex(p.mask, (p.mask_bits + 7u) / 8u)}}},
          {"trigger_time", p.trigger_time},
          {"tid", {p.tid[0], p.tid[1]}},
          {"work_time", {p.work_time[0], p.work_time[1]}},
          {"scan_time_ms", info.scan_time_ms()},
          {"antenna", info.antenna()}};
}

int show(Session &s, bool json) {
  Parameters p;
  int rc = GetSystemParameter(s.address(), &p.mode, &p.interval, &p.response[0],
                              &p.response[1], &p.tag_type, &p.eas, &p.mask_bank, p.mask_address,
                              &p.mask_bits, p.mask, &p.trigger_time, &p.tid[0], &p.tid[1],
                              s.handle());
  if (rc != STATUS_OK) return check("config", rc);
  rc = GetWorkTime(s.address(), &p.work_time[0], &p.work_time[1], s.handle());
  if (rc != STATUS_OK) return check("config", rc);
  ReaderInfo info;
  rc = read_info(s, info);
  if (rc != STATUS_OK) return check("config", rc);
  if (json)
    print_json(to_json(p, info));
  else
    print(p, info);
  return kExitOk;
}

struct SetOptions {
  int mode = -1, interval = -1, tag_type = -1, eas_sensitivity = -1, trigger_time = -1;
  int scan_time = -1, antenna = -1, custom_function = -1;
  std::vector<int> response, tid, work_time;
  MaskOptions mask;

  bool any() const {
    return mode >= 0 || interval >= 0 || tag_type >= 0 || eas_sensitivity >= 0 ||
           trigger_time >= 0 || scan_time >= 0 || antenna >= 0 || custom_function >= 0 ||
           !response.empty() || !tid.empty() || !work_time.empty() || mask.used();
  }
};

void check_set(const SetOptions &o) {
  if (!o.any())
    throw CLI::ValidationError("config set", "nothing to set: give at least one setting");
  o.mask.validate();
}

// Sends the given settings in a fixed order and stops at the first refusal.
int set(Session &s, SetOptions &o) {
  unsigned char *a = s.address();
  const VelkorHandle h = s.handle();
  struct Step {
    const char *name;
    bool given;
    std::function<int()> send;
  };
  const Step steps[] = {
      {"mode", o.mode >= 0, [&] { return SetWorkMode(a, byte(o.mode), h); }},
      {"interval", o.interval >= 0, [&] { return SetInventoryInterval(a, byte(o.interval), h); }},
      {"response", !o.response.empty(),
       [&] {
         return SetResponsePamametersofAuto_runningMode(a, byte(o.response[0]),
                                                        byte(o.response[1]), h);
       }},
      {"tag type", o.tag_type >= 0, [&] { return SelectTagType(a, byte(o.tag_type), h); }},
      {"EAS sensitivity", o.eas_sensitivity >= 0,
       [&] { return SetEASSensitivity(a, byte(o.eas_sensitivity), h); }},
      {"mask", o.mask.used(),
       [&] {
         return SetMask(a, o.mask.memory(), o.mask.address(), o.mask.bit_count(), o.mask.data(),
                        h);
       }},
      {"trigger time", o.trigger_time >= 0,
       [&] { return SetTriggerTime(a, byte(o.trigger_time), h); }},
      {"TID", !o.tid.empty(),
       [&] { return SetTIDParameter(a, byte(o.tid[0]), byte(o.tid[1]), h); }},
      {"work time", !o.work_time.empty(),
       [&] { return SetWorkTime(a, byte(o.work_time[0]), byte(o.work_time[1]), h); }},
      {"scan time", o.scan_time >= 0,
       [&] { return SetInventoryScanTime(a, byte(o.scan_time), h); }},
      {"antenna", o.antenna >= 0, [&] { return SetAntennaMultiplexing(a, byte(o.antenna), h); }},
      {"custom function", o.custom_function >= 0,
       [&] {
         unsigned char function = byte(o.custom_function);
         return SetTagCustomFunction(a, &function, h);
       }},
  };
  for (const Step &step : steps) {
    if (!step.given) continue;
    const std::string what = "config set " + std::string(step.name);
    const int rc = step.send();
    if (rc != STATUS_OK) return check(what.c_str(), rc);
    std::printf("%s set\n", step.name);
  }
  return kExitOk;
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
