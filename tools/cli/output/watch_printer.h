// inventory --watch on the terminal: a live table of the tags (or a line
// per round when standard output is no terminal), the records as they come
// with --json or --csv, the reader lost and back on standard error, and a
// summary at the end.  What it does not print it hands on to another
// observer (the MQTT publisher).
#ifndef VELKOR_TOOLS_WATCH_PRINTER_H
#define VELKOR_TOOLS_WATCH_PRINTER_H

#include <cstdio>
#include <vector>

#include "app/base/stop_token.h"
#include "app/watch/watch.h"
#include "tools/cli/core_names.h"
#include "tools/cli/output/tag_output.h"
#include "tools/cli/output/tag_table_text.h"

namespace velkor::tool {

class WatchPrinter final : public WatchObserver {
 public:
  struct Options {
    TagWriter::Options output;  ///< of the records (--json, --csv)
    TagTable::Order order = TagTable::Order::kLastSeen;  ///< of the table
    std::vector<Column> columns;                         ///< of the table
  };
  /// stop: asked to stop when nobody reads standard output any more.
  WatchPrinter(const Options &options, const StopSource &stop, WatchObserver *next = nullptr);
  /// The table the live view shows (the watch's own).
  void show(const TagTable &table) { table_ = &table; }

  void on_round(const Round &round, unsigned number, const TagTable &table) override;
  void on_round_failed(unsigned number, const Error &why) override;
  void on_reader_lost(unsigned rounds, const Error &why) override;
  void on_reader_back(std::int64_t away_ms) override;
  void idle(int ms, Clock &clock) override;

  /// Whoever read standard output has gone (`velkor ... | head`).
  bool output_gone() const { return output_gone_; }
  /// The end: how many rounds, how long, the table in the order asked for.
  void summary(const WatchSummary &summary);

 private:
  void redraw(const char *status_line);
  bool text() const { return options_.output.format == Format::kText; }

  Options options_;
  const StopSource &stop_;
  WatchObserver *next_;
  TagWriter writer_;
  bool live_;
  const TagTable *table_ = nullptr;
  unsigned rounds_ = 0;
  bool output_gone_ = false;
};

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_WATCH_PRINTER_H
