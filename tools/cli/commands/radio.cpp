// region and power: where on the band the reader transmits, and how loud.
#include <cstdio>

#include "app/events/reader_documents.h"
#include "app/reader/channel_plan.h"
#include "app/reader/reader_info.h"
#include "app/reader/settings.h"
#include "tools/cli/cli.h"
#include "tools/cli/options.h"
#include "tools/cli/output/json_output.h"

namespace velkor::tool {

namespace {

struct RegionOptions {
  int region = 1;
  int lowest = -1;   ///< -1: the region's whole plan
  int highest = -1;

  std::optional<int> low() const { return lowest < 0 ? std::nullopt : std::optional(lowest); }
  std::optional<int> high() const { return highest < 0 ? std::nullopt : std::optional(highest); }
};

struct PowerOptions {
  int dbm = -1;  ///< -1: show it
  bool json = false;
};

struct ShowRegionOptions {
  bool json = false;
  bool raw = false;  ///< also the two bytes as they travel
};

int show_region(Session &s, const ShowRegionOptions &o) {
  const Result<ReaderInfo> info = read_info(s);
  if (!info) return report(info.error(), "region");
  if (o.json) {
    print_json(events::region_document(*info, o.raw));
    return kExitOk;
  }
  const Region &r = info->region;
  const std::vector<std::string> plan = channel_plan(r.region);
  std::printf("region %d, channels %d to %d (%s to %s)\n", r.region, r.lowest, r.highest,
              channel_text(plan, r.lowest).c_str(), channel_text(plan, r.highest).c_str());
  if (o.raw)
    std::printf("raw 0x%02X 0x%02X: region bits %d, channels %d to %d\n", info->block[4],
                info->block[5], info->packed.region, info->packed.lowest, info->packed.highest);
  return kExitOk;
}

// The channel range is checked against the plan before anything is sent.
void check_range(const RegionOptions &o) {
  if (const Status fits = check_channels(o.region, o.low(), o.high()); !fits)
    throw CLI::ValidationError("--" + fits.error().operation, fits.error().words);
}

int set_region(Session &s, RegionOptions &o) {
  if (const Status set = app::set_region(s, o.region, o.low(), o.high()); !set)
    return report(set.error(), "region set");
  std::printf("region %d set\n", o.region);
  return kExitOk;
}

void add_region_commands(Cli &cli) {
  CLI::App *app = cli.app.add_subcommand(
      "region", "show the region and channel range; set it; print a channel plan");
  app->require_subcommand(0, 1);

  auto set = add_command<RegionOptions>(
      cli, app, "set", "set the region, with all its channels or a range of them", set_region,
      check_range);
  add_number(set.app, "region", set.options->region, 1, kRegions, "region, 1 to 5")->required();
  add_number(set.app, "--lowest", set.options->lowest, 0, 63, "lowest channel (default 0)");
  add_number(set.app, "--highest", set.options->highest, 0, 63,
             "highest channel (default: the region's last)");

  // Needs no reader: the plan is the library's.
  CLI::App *channels = app->add_subcommand("channels", "print a region's channel plan");
  auto wanted = std::make_shared<int>(1);
  auto channels_json = std::make_shared<bool>(false);
  add_number(channels, "region", *wanted, 1, kRegions, "region, 1 to 5")->required();
  add_json_flag(channels, *channels_json);
  channels->callback([wanted, channels_json] {
    const std::vector<std::string> plan = channel_plan(*wanted);
    if (*channels_json) {
      print_json(events::channels_document(*wanted, plan));
      return;
    }
    for (std::size_t i = 0; i < plan.size(); ++i) std::printf("%2zu  %s\n", i, plan[i].c_str());
  });

  auto shown = std::make_shared<ShowRegionOptions>();
  add_json_flag(app, shown->json);
  app->add_flag("--raw", shown->raw,
                "also show the two region bytes as the reader keeps them (region 5 travels "
                "as region 2's bits with its channels raised by 26)");
  // The region subcommand's own callback runs after its child's: show only
  // when no child was given.
  app->callback([&cli, app, shown] {
    if (app->get_subcommands().empty())
      cli.run([shown](Session &s) { return show_region(s, *shown); });
  });
}

int power(Session &s, PowerOptions &o) {
  if (o.dbm >= 0)
    if (const Status set = set_power(s, o.dbm); !set) return report(set.error(), "power");
  const Result<ReaderInfo> info = read_info(s);
  if (!info) return report(info.error(), "power");
  if (o.json)
    print_json(events::power_document(info->power_dbm));
  else
    std::printf("power %d dBm\n", info->power_dbm);
  return kExitOk;
}

}  // namespace

void add_radio_commands(Cli &cli) {
  add_region_commands(cli);
  auto p = add_command<PowerOptions>(cli, &cli.app, "power", "show (or --set) the RF power",
                                     power);
  add_number(p.app, "--set", p.options->dbm, 0, 255, "the new power in dBm");
  add_json_flag(p.app, p.options->json);
}

}  // namespace velkor::tool
