// inventory: one Gen2 round, or --watch for rounds until Ctrl-C.
#include <algorithm>
#include <cstdio>

#include "tools/cli.h"
#include "tools/commands/inventory_round.h"
#include "tools/commands/inventory_watch.h"
#include "tools/publish/watch_feed.h"

namespace velkor::tool {

namespace {

struct InventoryOptions {
  MaskOptions mask;
  bool watch = false;
  bool json = false;
  bool csv = false;
  int rounds = 0;
  bool decode = false;
  int order = 0;
  MqttOptions mqtt;

  Format format() const { return json ? Format::kJson : csv ? Format::kCsv : Format::kText; }
};

int inventory_once(Session &s, InventoryOptions &o) {
  const InventoryRound round = inventory_round(s, o.mask);
  // No tag (0xFB) is a failure here, as grep finding nothing is.
  if (!round.answered() || round.status == 0xFB) return check("inventory", round.status);
  TagWriter writer(o.format(), o.decode);
  for (const Bytes &epc : round.epcs) writer.write({1, round.time, epc, round.antenna});
  if (o.format() != Format::kText) return kExitOk;
  // The count goes to stderr, so `> epcs.txt` and `| wc -l` get EPCs only.
  std::fflush(stdout);
  std::fprintf(stderr, "%s, antenna 0x%02X", counted(round.epcs.size(), "tag").c_str(),
               round.antenna);
  if (round.tag_count != static_cast<int>(round.epcs.size()))
    std::fprintf(stderr, " (the reader counted %d)", round.tag_count);
  std::fprintf(stderr, "\n");
  return kExitOk;
}

}  // namespace

void add_inventory_commands(Cli &cli) {
  auto o = std::make_shared<InventoryOptions>();
  CLI::App *cmd = cli.app.add_subcommand(
      "inventory", "read the EPCs of the Gen2 tags in the field (one round, or --watch)");
  o->mask.add_to(cmd, "inventory only the tags whose bits match this mask (hex)");
  CLI::Option *watch =
      cmd->add_flag("--watch", o->watch,
                    "inventory round after round, with a live table of the tags, until Ctrl-C");
  add_number(cmd, "--rounds", o->rounds, 1, 1000000, "with --watch: stop after this many rounds")
      ->needs(watch);
  add_named(cmd, "--sort", o->order, "order",
            {{"last", 0}, {"first", 1}, {"reads", 2}, {"epc", 3}}, 0, 3,
            "with --watch: the table's order: last (seen, the default), first (seen), reads, "
            "epc")
      ->needs(watch);
  CLI::Option *json =
      cmd->add_flag("--json", o->json, "one JSON object per tag per round, as they come");
  cmd->add_flag("--csv", o->csv, "one CSV row per tag per round, as they come")->excludes(json);
  cmd->add_flag("--decode", o->decode, "add each EPC's tag URI (urn:epc:tag:...) when it has one");
  o->mqtt.add_to(cmd, watch);
  cmd->callback([&cli, o] {
    o->mask.validate();
    cli.run([o](Session &s) {
      if (!o->watch) return inventory_once(s, *o);
      const auto order = static_cast<TagTable::Order>(o->order);
      if (!o->mqtt.wanted())
        return watch_inventory(s, o->mask, {o->format(), o->rounds, nullptr, order, o->decode});
      std::unique_ptr<MqttFeed> feed = MqttFeed::start(s, o->mqtt, o->decode);
      if (!feed) return kExitUsage;
      const int status =
          watch_inventory(s, o->mask, {o->format(), o->rounds, feed.get(), order, o->decode});
      return std::max(status, feed->finish());
    });
  });
}

}  // namespace velkor::tool
