// region and power: where on the band the reader transmits, and how loud.
#include <array>
#include <cstdio>

#include "tools/cli.h"
#include "tools/options.h"
#include "tools/commands/reader_info.h"

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
};

int show_region(Session &s) {
  ReaderInfo info;
  const int rc = read_info(s, info);
  if (rc != STATUS_OK) return check("region", rc);
  const ChannelPlan plan(info.region());
  std::printf("region %d, channels %d to %d (%s to %s)\n", info.region(), info.lowest_channel(),
              info.highest_channel(), plan.text(info.lowest_channel()),
              plan.text(info.highest_channel()));
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
  add_number(channels, "region", *wanted, 1, kRegions, "region, 1 to 5")->required();
  channels->callback([wanted] {
    const ChannelPlan plan(*wanted);
    for (int i = 0; i < plan.count(); ++i) std::printf("%2d  %s\n", i, plan.text(i));
  });

  // The region subcommand's own callback runs after its child's: show only
  // when no child was given.
  app->callback([&cli, app] {
    if (app->get_subcommands().empty()) cli.run(show_region);
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
  std::printf("power %d dBm\n", info.power());
  return kExitOk;
}

}  // namespace

void add_radio_commands(Cli &cli) {
  add_region_commands(cli);
  auto p = add_command<PowerOptions>(cli, &cli.app, "power", "show (or --set) the RF power",
                                     power);
  add_number(p.app, "--set", p.options->dbm, 0, 255, "the new power in dBm");
}

}  // namespace velkor::tool
