// clock, gpio and beep: the reader's clock, I/O lines and buzzer.
#include <cstdio>
#include <vector>

#include "app/base/clock_text.h"
#include "app/events/reader_documents.h"
#include "app/reader/reader_info.h"
#include "app/reader/settings.h"
#include "tools/cli/cli.h"
#include "tools/cli/options.h"
#include "tools/cli/output/json_output.h"

namespace velkor::tool {

namespace {

struct ClockOptions {
  std::optional<ClockBlock> set;
  bool json = false;
};

struct GpioOptions {
  int set = -1;
  bool json = false;
};

struct BeepOptions {
  int notify = -1;
  std::vector<int> control;
};

int clock(Session &s, ClockOptions &o) {
  if (o.set)
    if (const Status set = set_clock(s, *o.set); !set) return report(set.error(), "clock");
  const Result<ClockBlock> block = read_clock(s);
  if (!block) return report(block.error(), "clock");
  if (o.json) {
    print_json(events::clock_document(*block));
    return kExitOk;
  }
  const std::optional<std::string> date = format_clock(*block);
  std::printf("%s (%s)\n", date ? date->c_str() : "not a date",
              to_hex(block->data(), block->size(), " ").c_str());
  return kExitOk;
}

int gpio(Session &s, GpioOptions &o) {
  if (o.set >= 0)
    if (const Status set = set_gpio(s, o.set); !set) return report(set.error(), "gpio");
  const Result<int> status = read_gpio(s);
  if (!status) return report(status.error(), "gpio");
  if (o.json) {
    print_json(events::gpio_document(*status));
    return kExitOk;
  }
  std::printf("gpio 0x%02X (bits 7-0:", *status);
  for (int bit = 7; bit >= 0; --bit)
    std::printf("%s%d", bit % 4 == 3 ? " " : "", (*status >> bit) & 1);
  std::printf(")\n");
  return kExitOk;
}

int beep(Session &s, BeepOptions &o) {
  if (!o.control.empty()) {
    const Status driven = drive_indicators(s, o.control[0], o.control[1], o.control[2]);
    if (!driven) return report(driven.error(), "beep");
    std::printf("buzzer and LEDs driven\n");
  }
  if (o.notify >= 0)
    if (const Status set = set_beep(s, o.notify); !set) return report(set.error(), "beep");
  const Result<ReaderInfo> info = read_info(s);
  if (!info) return report(info.error(), "beep");
  std::printf("beep on inventory %s\n", info->beep ? "on" : "off");
  return kExitOk;
}

}  // namespace

void add_io_commands(Cli &cli) {
  auto c = add_command<ClockOptions>(cli, &cli.app, "clock",
                                     "show (or --set) the reader's real-time clock", clock);
  c.app->add_option_function<std::string>(
      "--set", [o = c.options](const std::string &text) { o->set = parse_clock(text); },
      "now, or a date YYYY-MM-DDTHH:MM:SS (years 2000 to 2099)")
      ->check(CLI::Validator(
          [](std::string &text) -> std::string {
            if (parse_clock(text)) return {};
            return "'" + text + "' is not a date: give now or YYYY-MM-DDTHH:MM:SS";
          },
          ""))
      ->type_name("DATE");
  add_json_flag(c.app, c.options->json);

  auto g = add_command<GpioOptions>(cli, &cli.app, "gpio",
                                    "show the GPIO status (or --set the outputs)", gpio);
  add_number(g.app, "--set", g.options->set, 0, 255, "the output setting byte");
  add_json_flag(g.app, g.options->json);

  auto b = add_command<BeepOptions>(
      cli, &cli.app, "beep",
      "show whether the reader beeps on each inventory; --set it; --control the buzzer", beep);
  add_named(b.app, "--set", b.options->notify, "beep setting", kOnOff, 0, 255,
            "beep on each inventory: on or off");
  b.app->add_option("--control", b.options->control,
                    "drive the buzzer and LEDs with three control bytes, as the reader takes "
                    "them")
      ->expected(3)
      ->transform(number_in(0, 255))
      ->type_name("N");
}

}  // namespace velkor::tool
