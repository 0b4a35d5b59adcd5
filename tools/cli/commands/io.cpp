// clock, gpio and beep: the reader's clock, I/O lines and buzzer.
#include <cstdio>
#include <vector>

#include "app/base/clock_text.h"
#include "app/reader/reader_info.h"
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
  if (o.set) {
    const int rc = SetReal_timeClock(s.address(), o.set->data(), s.handle());
    if (rc != STATUS_OK) return check("clock", rc);
  }
  ClockBlock block{};
  const int rc = GetTime(s.address(), block.data(), s.handle());
  if (rc != STATUS_OK) return check("clock", rc);
  const std::optional<std::string> date = format_clock(block);
  if (o.json) {
    print_json({{"time", date ? Json(*date) : Json(nullptr)},
                {"raw", to_hex(block.data(), block.size())}});
    return kExitOk;
  }
  std::printf("%s (%s)\n", date ? date->c_str() : "not a date",
              to_hex(block.data(), block.size(), " ").c_str());
  return kExitOk;
}

int gpio(Session &s, GpioOptions &o) {
  if (o.set >= 0) {
    const int rc = SetGPIO(s.address(), static_cast<unsigned char>(o.set), s.handle());
    if (rc != STATUS_OK) return check("gpio", rc);
  }
  unsigned char status = 0;
  const int rc = GetGPIOStatus(s.address(), &status, s.handle());
  if (rc != STATUS_OK) return check("gpio", rc);
  if (o.json) {
    Json lines = Json::array();
    for (int bit = 0; bit < 8; ++bit) lines.push_back((status >> bit) & 1);
    print_json({{"gpio", status}, {"bits", lines}});
    return kExitOk;
  }
  std::printf("gpio 0x%02X (bits 7-0:", status);
  for (int bit = 7; bit >= 0; --bit)
    std::printf("%s%d", bit % 4 == 3 ? " " : "", (status >> bit) & 1);
  std::printf(")\n");
  return kExitOk;
}

int beep(Session &s, BeepOptions &o) {
  if (!o.control.empty()) {
    const int rc = BuzzerAndLEDControl(s.address(), static_cast<unsigned char>(o.control[0]),
                                       static_cast<unsigned char>(o.control[1]),
                                       static_cast<unsigned char>(o.control[2]), s.handle());
    if (rc != STATUS_OK) return check("beep", rc);
    std::printf("buzzer and LEDs driven\n");
  }
  if (o.notify >= 0) {
    const int rc =
        SetBeepNotification(s.address(), static_cast<unsigned char>(o.notify), s.handle());
    if (rc != STATUS_OK) return check("beep", rc);
  }
  ReaderInfo info;
  const int rc = read_info(s, info);
  if (rc != STATUS_OK) return check("beep", rc);
  std::printf("beep on inventory %s\n", info.beep() ? "on" : "off");
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
