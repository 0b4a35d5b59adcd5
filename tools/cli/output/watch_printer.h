// inventory --watch on the terminal: a live table of the tags, drawn over
// itself on the terminal's alternate screen as watch and top draw theirs
// (or, when standard output is no terminal, a line per round on standard
// error), the records as they come with --json or --csv, the reader lost
// and back on standard error, and a summary at the end, left on the normal
// screen.  What it does not print it hands on to another observer (the MQTT
// publisher).
#ifndef VELKOR_TOOLS_WATCH_PRINTER_H
#define VELKOR_TOOLS_WATCH_PRINTER_H

#include <cstdio>
#include <functional>
#include <vector>

#include "app/base/stop_token.h"
#include "app/watch/watch.h"
#include "tools/cli/core_names.h"
#include "tools/cli/output/tag_output.h"
#include "tools/cli/output/tag_table_text.h"
#include "tools/cli/output/terminal_size.h"

namespace velkor::tool {

class WatchPrinter final : public WatchObserver {
 public:
  struct Options {
    TagWriter::Options output;  ///< of the records (--json, --csv)
    TagTable::Order order = TagTable::Order::kLastSeen;  ///< of the table
    std::vector<Column> columns;                         ///< of the table
    /// The terminal's size, asked at each redraw (it may be resized).
    std::function<TerminalSize()> terminal = [] { return terminal_size(1); };
  };
  /// stop: asked to stop when nobody reads standard output any more.
  /// clock: the elapsed time and the read rate of the status line.
  WatchPrinter(const Options &options, const StopSource &stop, WatchObserver *next = nullptr,
               Clock &clock = system_clock());
  /// Leaves the alternate screen if the watch ended without a summary.
  ~WatchPrinter() override;
  WatchPrinter(const WatchPrinter &) = delete;
  WatchPrinter &operator=(const WatchPrinter &) = delete;
  /// The table the live view shows (the watch's own).
  void show(const TagTable &table) { table_ = &table; }

  void on_round(const Round &round, unsigned number, const TagTable &table) override;
  void on_round_failed(unsigned number, const Error &why) override;
  void on_reader_lost(unsigned rounds, const Error &why) override;
  void on_reader_back(std::int64_t away_ms) override;
  void idle(int ms, Clock &clock) override;

  /// Whoever read standard output has gone (`velkor ... | head`).
  bool output_gone() const { return output_gone_; }
  /// The end: how many rounds, how long, the table in the order asked for
  /// (cut to the terminal's width on a terminal); the live table is gone.
  void summary(const WatchSummary &summary);
  /// Back to the normal screen (before an error is told); done by summary().
  void end_live();

 private:
  void redraw(const char *status_line);
  bool told_on_stderr() const;
  bool text() const { return options_.output.format == Format::kText; }

  Options options_;
  const StopSource &stop_;
  WatchObserver *next_;
  TagWriter writer_;
  Clock &clock_;
  std::int64_t started_ms_;
  bool live_;
  bool drawn_ = false;  ///< on the alternate screen
  const TagTable *table_ = nullptr;
  unsigned rounds_ = 0;
  bool output_gone_ = false;
};

/// The live table's status line: rounds, tags, reads, reads per second and
/// the time since the start, then `what` (the watch's state), cut to width.
std::string watch_status_line(unsigned rounds, std::size_t unique, unsigned reads,
                              std::int64_t elapsed_ms, const std::string &what,
                              std::size_t width);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_WATCH_PRINTER_H
