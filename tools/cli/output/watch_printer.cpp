#include "tools/cli/output/watch_printer.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "tools/cli/cli.h"

namespace velkor::tool {

namespace {

// The terminal's rows and columns (24 by 80 when it does not say).
std::pair<std::size_t, std::size_t> terminal_size() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0)
    return {24, 80};
  return {size.ws_row, size.ws_col};
}

}  // namespace

WatchPrinter::WatchPrinter(const Options &options, const StopSource &stop, WatchObserver *next)
    : options_(options), stop_(stop), next_(next), writer_(options.output),
      live_(text() && isatty(STDOUT_FILENO)) {}

void WatchPrinter::on_round(const Round &round, unsigned number, const TagTable &table) {
  rounds_ = number;
  table_ = &table;
  if (next_) next_->on_round(round, number, table);
  if (!text()) {
    for (const TagRead &read : round.tags) writer_.write(read);
  } else if (live_) {
    redraw("reading; Ctrl-C stops");
  } else {
    std::printf("round %u: %s, %zu unique so far\n", number,
                counted(round.tags.size(), "tag").c_str(), table.entries().size());
    std::fflush(stdout);
  }
  // Nobody is left to show more rounds or a summary to.
  if (std::ferror(stdout)) {
    output_gone_ = true;
    stop_.request_stop();
  }
}

void WatchPrinter::on_round_failed(unsigned number, const Error &why) {
  if (next_) next_->on_round_failed(number, why);
  complain("round %u failed: %s", number, why.detail().c_str());
}

void WatchPrinter::on_reader_lost(unsigned rounds, const Error &why) {
  if (next_) next_->on_reader_lost(rounds, why);
  complain("reader lost after round %u: %s; looking for it every second", rounds,
           why.detail().c_str());
  if (live_) redraw(("reader lost: " + why.detail() + "; looking for it every second").c_str());
}

void WatchPrinter::on_reader_back(std::int64_t away_ms) {
  if (next_) next_->on_reader_back(away_ms);
  complain("reader back after %.1f s; carrying on", double(away_ms) / 1000);
  if (live_) redraw("reader back; reading; Ctrl-C stops");
}

void WatchPrinter::idle(int ms, Clock &clock) {
  if (next_)
    next_->idle(ms, clock);
  else
    clock.sleep_ms(ms);
}

void WatchPrinter::redraw(const char *status_line) {
  if (!table_) return;
  // The table, a blank line and the status line fit the screen, so the
  // header never scrolls away; the status line is cut to one row.
  const auto [rows, columns] = terminal_size();
  std::string status = counted(rounds_, "round") + ", " +
                       counted(table_->entries().size(), "unique tag") + ", " +
                       counted(table_->reads(), "read") + " - " + status_line;
  if (status.size() >= columns) status.resize(columns - 1);
  std::printf("\033[H\033[J");
  print_table(stdout, *table_, options_.order, options_.columns, rows > 4 ? rows - 3 : 1);
  std::printf("\n%s", status.c_str());
  std::fflush(stdout);
}

void WatchPrinter::summary(const WatchSummary &s) {
  // Messages go where they do not mix with the records.
  std::FILE *out = text() ? stdout : stderr;
  if (live_) std::printf("\033[H\033[J");
  const std::size_t unique = table_ ? table_->entries().size() : 0;
  const unsigned reads = table_ ? table_->reads() : 0;
  // The summary is the whole table, in the order asked for.
  std::fprintf(out, "%s after %s in %.1f s: %s, %s", s.stopped ? "stopped" : "done",
               counted(s.rounds, "round").c_str(), double(s.elapsed_ms) / 1000,
               counted(unique, "unique tag").c_str(), counted(reads, "read").c_str());
  if (s.failed > 0) std::fprintf(out, ", %s failed", counted(s.failed, "round").c_str());
  std::fprintf(out, "\n");
  if (table_) print_table(out, *table_, options_.order, options_.columns);
  std::fflush(out);
}

}  // namespace velkor::tool
