// region and power: where on the band the reader transmits, and how loud.
#include <array>
#include <cstdio>

#include "app/reader/reader_info.h"
#include "tools/cli/cli.h"
#include "tools/cli/options.h"
#include "tools/cli/output/json_output.h"

namespace velkor::tool {

namespace {

constexpr int kRegions = 5;

// A region's channel texts from the library, released when done.
class ChannelPlan {
 public:
  explicit ChannelPlan(int region) {
    texts_.fill(nullptr);
    GetChannelList(region, texts_.data());
    while (count_ < VELKOR_MAX_CHANNELS && texts_[std::size_t(count_)]) ++count_;
  }
  ~ChannelPlan() { FreeChannelList(texts_.data()); }
  ChannelPlan(const ChannelPlan &) = delete;
  ChannelPlan &operator=(const ChannelPlan &) = delete;

  int count() const { return count_; }
  /// The channel's frequency text, or "?" for an index outside the plan.
  const char *text(int channel) const {
    return channel >= 0 && channel < count_ ? texts_[std::size_t(channel)] : "?";
  }

 private:
  std::array<char *, VELKOR_MAX_CHANNELS> texts_{};
  int count_ = 0;
};

struct RegionOptions {
  int region = 1;
  int lowest = -1;   ///< -1: the region's whole plan
  int highest = -1;
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
  ReaderInfo info;
  const int rc = read_info(s, info);
  if (rc != STATUS_OK) return check("region", rc);
  const ReaderInfo::Region r = info.region();
  const ChannelPlan plan(r.region);
  if (o.json) {
    Json doc = {{"region", r.region},
                          {"lowest_channel", r.lowest},
                          {"highest_channel", r.highest},
                          {"lowest_frequency", plan.text(r.lowest)},
                          {"highest_frequency", plan.text(r.highest)}};
    if (o.raw)
      doc["raw"] = {{"bytes", to_hex(info.block + 4, 2)},
                    {"region", info.packed_region()},
                    {"lowest_channel", info.packed_lowest()},
                    {"highest_channel", info.packed_highest()}};
    print_json(doc);
    return kExitOk;
  }
  std::printf("region %d, channels %d to %d (%s to %s)\n", r.region, r.lowest, r.highest,
              plan.text(r.lowest), plan.text(r.highest));
  if (o.raw)
    std::printf("raw 0x%02X 0x%02X: region bits %d, channels %d to %d\n", info.block[4],
                info.block[5], info.packed_region(), info.packed_lowest(),
                info.packed_highest());
  return kExitOk;
}

// The channel range is checked against the plan before anything is sent.
void check_range(const RegionOptions &o) {
  const int channels = ChannelPlan(o.region).count();
  const int lowest = o.lowest < 0 ? 0 : o.lowest;
  const int highest = o.highest < 0 ? channels - 1 : o.highest;
  if (highest >= channels)
    throw CLI::ValidationError("--highest", "region " + std::to_string(o.region) + " has " +
                                                std::to_string(channels) + " channels, 0 to " +
                                                std::to_string(channels - 1));
  if (lowest > highest)
    throw CLI::ValidationError("--lowest", std::to_string(lowest) + " is above the highest "
                                           "channel " + std::to_string(highest));
}

int set_region(Session &s, RegionOptions &o) {
  const bool whole = o.lowest < 0 && o.highest < 0;
  const int highest = o.highest < 0 ? ChannelPlan(o.region).count() - 1 : o.highest;
  const int rc = whole
                     ? SetRegionWithDefaultChannel(s.address(), o.region, s.handle())
                     : SetRegionAndChannel(s.address(), o.region,
                                           static_cast<unsigned char>(o.lowest < 0 ? 0 : o.lowest),
                                           static_cast<unsigned char>(highest), s.handle());
  if (rc != STATUS_OK) return check("region set", rc);
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
    const ChannelPlan plan(*wanted);
    Json list = Json::array();
    for (int i = 0; i < plan.count(); ++i) {
      if (*channels_json)
        list.push_back({{"channel", i}, {"frequency", plan.text(i)}});
      else
        std::printf("%2d  %s\n", i, plan.text(i));
    }
    if (*channels_json) print_json({{"region", *wanted}, {"channels", list}});
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
  if (o.dbm >= 0) {
    const int rc = SetRfPower(s.address(), static_cast<unsigned char>(o.dbm), s.handle());
    if (rc != STATUS_OK) return check("power", rc);
  }
  ReaderInfo info;
  const int rc = read_info(s, info);
  if (rc != STATUS_OK) return check("power", rc);
  if (o.json)
    print_json({{"power_dbm", info.power()}});
  else
    std::printf("power %d dBm\n", info.power());
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
