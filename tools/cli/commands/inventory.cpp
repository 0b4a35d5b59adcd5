// inventory: one Gen2 round, rounds for a while (--rounds, --duration), or
// --watch for rounds until Ctrl-C.
#include <algorithm>
#include <cstdio>
#include <thread>

#include "app/tags/inventory_round.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands/inventory_watch.h"
#include "tools/cli/options.h"
#include "tools/cli/output/output_file.h"
#include "tools/cli/output/tag_table.h"
#include "tools/cli/publish/watch_feed.h"

namespace velkor::tool {

namespace {

struct InventoryOptions {
  MaskOptions mask;
  bool watch = false;
  bool json = false;
  bool csv = false;
  int rounds = 0;
  double duration = 0;  ///< seconds; 0: no limit
  int interval = 0;     ///< milliseconds between rounds
  bool decode = false;
  bool tid = false;
  bool unique = false;
  int order = 0;
  std::vector<std::string> columns;
  std::string output;
  MqttOptions mqtt;

  Format format() const { return json ? Format::kJson : csv ? Format::kCsv : Format::kText; }
  TagWriter::Options writer() const { return {format(), decode, tid, unique}; }
  RoundPacing pacing() const {
    using std::chrono::duration_cast;
    return {static_cast<unsigned>(rounds),
            duration_cast<RoundPacing::Duration>(std::chrono::duration<double>(duration)),
            std::chrono::milliseconds(interval)};
  }
  // The table's columns: as given, or EPC, reads, first and last seen, then
  // TID and URI when asked for.
  std::vector<TagTable::Column> table_columns() const {
    std::vector<std::string> names = columns;
    if (names.empty()) {
      names = {"epc", "reads", "first", "last"};
      if (tid) names.push_back("tid");
      if (decode) names.push_back("uri");
    }
    std::vector<TagTable::Column> chosen;
    const std::vector<std::string> &all = TagTable::column_names();
    for (const std::string &name : names)
      chosen.push_back(static_cast<TagTable::Column>(
          std::find(all.begin(), all.end(), name) - all.begin()));
    return chosen;
  }
};

// Rounds without the live table: each tag as it comes, the count on stderr.
int inventory_rounds(Session &s, InventoryOptions &o) {
  const RoundPacing pacing = o.pacing();
  TagWriter writer(o.writer());
  const auto start = std::chrono::steady_clock::now();
  unsigned done = 0;
  TagTable seen;
  InventoryRound round;
  do {
    if (done > 0)
      std::this_thread::sleep_for(pacing.pause(std::chrono::steady_clock::now() - start));
    round = inventory_round(s, o.mask, o.tid);
    // No tag (0xFB) is a failure of a single round, as grep finding nothing is.
    if (!round.answered() || (round.status == 0xFB && !pacing.limited()))
      return check("inventory", round.status);
    ++done;
    for (std::size_t i = 0; i < round.epcs.size(); ++i) {
      writer.write(round.read(i, done));
      seen.add(round.read(i, done));
    }
    if (std::ferror(stdout)) return kExitFailed;
  } while (pacing.limited() && pacing.another(done, std::chrono::steady_clock::now() - start));
  const int status = seen.entries().empty() ? kExitNothing : kExitOk;
  if (o.format() != Format::kText) return status;
  // The count goes to stderr, so `> epcs.txt` and `| wc -l` get EPCs only.
  std::fflush(stdout);
  if (done == 1) {
    std::fprintf(stderr, "%s, antenna 0x%02X", counted(round.epcs.size(), "tag").c_str(),
                 round.antenna);
    if (round.tag_count != static_cast<int>(round.epcs.size()))
      std::fprintf(stderr, " (the reader counted %d)", round.tag_count);
  } else {
    std::fprintf(stderr, "%s, %s in %s", counted(seen.entries().size(), "unique tag").c_str(),
                 counted(seen.reads(), "read").c_str(), counted(done, "round").c_str());
  }
  std::fprintf(stderr, "\n");
  return status;
}

int inventory(Session &s, InventoryOptions &o) {
  std::string error;
  std::optional<OutputFile> file;
  if (!o.output.empty() && !file.emplace(o.output, &error).ok()) {
    complain("%s", error.c_str());
    return kExitUsage;
  }
  if (!o.watch) return inventory_rounds(s, o);
  const auto order = static_cast<TagTable::Order>(o.order);
  WatchOptions watch{o.writer(), o.pacing(), nullptr, order, o.table_columns()};
  if (!o.mqtt.wanted()) return watch_inventory(s, o.mask, watch);
  std::unique_ptr<MqttFeed> feed = MqttFeed::start(s, o.mqtt, o.decode);
  if (!feed) return kExitUsage;
  watch.observer = feed.get();
  const int status = watch_inventory(s, o.mask, watch);
  return std::max(status, feed->finish());
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
  add_number(cmd, "--rounds", o->rounds, 1, 1000000, "stop after this many rounds");
  cmd->add_option("--duration", o->duration, "stop after this many seconds (0.1 to 86400)")
      ->check(seconds_in(0.1, 86400))
      ->type_name("SECONDS");
  add_number(cmd, "--interval", o->interval, 0, 3600000,
             "pause this many milliseconds between rounds (default 0)")
      ->type_name("MS");
  add_named(cmd, "--sort", o->order, "order",
            {{"last", 0}, {"first", 1}, {"reads", 2}, {"epc", 3}}, 0, 3,
            "with --watch: the table's order: last (seen, the default), first (seen), reads, "
            "epc")
      ->needs(watch);
  cmd->add_option("--columns", o->columns,
                  "with --watch: the table's columns, in order, from epc, reads, first, last, "
                  "antenna, tid, uri (default epc,reads,first,last)")
      ->delimiter(',')
      ->check(one_of("column", TagTable::column_names()))
      ->type_name("LIST")
      ->needs(watch);
  CLI::Option *json =
      cmd->add_flag("--json", o->json, "one JSON object per tag per round, as they come");
  cmd->add_flag("--csv", o->csv, "one CSV row per tag per round, as they come")->excludes(json);
  cmd->add_flag("--decode", o->decode, "add each EPC's tag URI (urn:epc:tag:...) when it has one");
  cmd->add_flag("--tid", o->tid,
                "also read each tag's TID (6 words from word 0) in the same round and show it "
                "beside the EPC");
  cmd->add_flag("--unique", o->unique, "print each tag once, however often it is read");
  cmd->add_option("--output", o->output,
                  "write what standard output would get to FILE, line by line")
      ->type_name("FILE");
  o->mqtt.add_to(cmd, watch);
  cmd->callback([&cli, o] {
    o->mask.validate();
    cli.run([o](Session &s) { return inventory(s, *o); });
  });
}

}  // namespace velkor::tool
