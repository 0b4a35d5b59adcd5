// inventory: one Gen2 round, rounds for a while (--rounds, --duration), or
// --watch for rounds until Ctrl-C.
#include <algorithm>
#include <cstdio>

#include "app/mqtt/watch_publisher.h"
#include "app/tags/inventory_round.h"
#include "app/watch/watch.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands/tag_target.h"
#include "tools/cli/interrupt.h"
#include "tools/cli/options.h"
#include "tools/cli/output/output_file.h"
#include "tools/cli/output/watch_printer.h"
#include "tools/cli/publish/mqtt_options.h"

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
  std::vector<Column> table_columns() const {
    std::vector<std::string> names = columns;
    if (names.empty()) {
      names = {"epc", "reads", "first", "last"};
      if (tid) names.push_back("tid");
      if (decode) names.push_back("uri");
    }
    std::vector<Column> chosen;
    const std::vector<std::string> &all = column_names();
    for (const std::string &name : names)
      chosen.push_back(static_cast<Column>(
          std::find(all.begin(), all.end(), name) - all.begin()));
    return chosen;
  }
};

// Writes each read as it comes; asks to stop when nobody reads any more.
class ReadWriter final : public WatchObserver {
 public:
  ReadWriter(const TagWriter::Options &options, const StopSource &stop)
      : writer_(options), stop_(stop) {}
  void on_round(const Round &round, unsigned, const TagTable &) override {
    for (const TagRead &read : round.tags) writer_.write(read);
    last_ = round;
    if (std::ferror(stdout)) {
      output_gone = true;
      stop_.request_stop();
    }
  }
  const Round &last() const { return last_; }
  bool output_gone = false;

 private:
  TagWriter writer_;
  const StopSource &stop_;
  Round last_;
};

// Rounds without the live table: each tag as it comes, the count on stderr.
// One round without limits; with --rounds or --duration, the core's watch
// runs them, ending at the first that fails.
int inventory_rounds(Session &s, InventoryOptions &o) {
  StopSource stop;
  ReadWriter writer(o.writer(), stop);
  unsigned rounds = 1;
  std::size_t unique = 0;
  unsigned reads = 0;
  if (!o.pacing().limited()) {
    const Round round = inventory_round(s, o.mask, o.tid);
    // No tag (0xFB) is a failure of a single round, as grep finding nothing is.
    if (!round.answered() || round.status == VELKOR_STATUS_NO_TAG) return report(round.error());
    writer.on_round(round, 1, TagTable{});
    unique = round.tags.size();
  } else {
    WatchOptions options;
    options.mask = o.mask;
    options.tid = o.tid;
    options.pacing = o.pacing();
    options.carry_on = false;
    Watch watch(s, options, writer);
    const Result<WatchSummary> done = watch.run(stop.token());
    if (!done) return report(done.error());
    rounds = done->rounds;
    unique = watch.table().entries().size();
    reads = watch.table().reads();
  }
  if (writer.output_gone) return kExitFailed;
  const int status = unique == 0 ? kExitNothing : kExitOk;
  if (o.format() != Format::kText) return status;
  // The count goes to stderr, so `> epcs.txt` and `| wc -l` get EPCs only.
  std::fflush(stdout);
  const Round &round = writer.last();
  if (rounds == 1) {
    std::fprintf(stderr, "%s, antenna 0x%02X", counted(round.tags.size(), "tag").c_str(),
                 round.antenna);
    if (round.tag_count != static_cast<int>(round.tags.size()))
      std::fprintf(stderr, " (the reader counted %d)", round.tag_count);
  } else {
    std::fprintf(stderr, "%s, %s in %s", counted(unique, "unique tag").c_str(),
                 counted(reads, "read").c_str(), counted(rounds, "round").c_str());
  }
  std::fprintf(stderr, "\n");
  return status;
}

// The watch, with the MQTT publisher behind the printer when asked for.
int watch_inventory(Session &s, InventoryOptions &o) {
  std::unique_ptr<publish::WatchPublisher> publisher;
  if (o.mqtt.wanted()) {
    const Result<publish::Settings> settings = o.mqtt.settings();
    if (!settings) return report(settings.error());
    auto started = publish::WatchPublisher::start(s, *settings, o.decode, o.tid, say_mqtt);
    if (!started) return report(started.error());
    publisher = std::move(*started);
  }
  StopSource stop;
  WatchPrinter printer({o.writer(), static_cast<TagTable::Order>(o.order), o.table_columns()},
                       stop, publisher.get());
  WatchOptions options;
  options.mask = o.mask;
  options.tid = o.tid;
  options.pacing = o.pacing();
  Watch watch(s, options, printer);
  printer.show(watch.table());
  InterruptGuard guard(stop);
  const Result<WatchSummary> summary = watch.run(stop.token());
  int status = kExitOk;
  if (!summary || printer.output_gone()) printer.end_live();
  if (!summary)
    status = report(summary.error());
  else if (printer.output_gone())
    status = kExitFailed;
  else {
    printer.summary(*summary);
    if (summary->stopped) status = kExitInterrupted;
  }
  if (publisher) status = std::max(status, o.mqtt.finish(*publisher));
  return status;
}

int inventory(Session &s, InventoryOptions &o) {
  std::string error;
  std::optional<OutputFile> file;
  if (!o.output.empty() && !file.emplace(o.output, &error).ok()) {
    complain("%s", error.c_str());
    return kExitUsage;
  }
  return o.watch ? watch_inventory(s, o) : inventory_rounds(s, o);
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
      ->check(one_of("column", column_names()))
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
