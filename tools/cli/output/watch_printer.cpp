#include "tools/cli/output/watch_printer.h"

#include <unistd.h>

#include "tools/cli/cli.h"

namespace velkor::tool {

namespace {

// The alternate screen (with the cursor saved and hidden), and back.
constexpr const char *kEnterLive = "\033[?1049h\033[?25l";
constexpr const char *kLeaveLive = "\033[?25h\033[?1049l";

}  // namespace

std::string watch_status_line(unsigned rounds, std::size_t unique, unsigned reads,
                              std::int64_t elapsed_ms, const std::string &what,
                              std::size_t width) {
  char numbers[64];
  const double seconds = double(elapsed_ms) / 1000;
  std::snprintf(numbers, sizeof numbers, ", %.1f reads/s, %.1f s",
                seconds > 0 ? reads / seconds : 0.0, seconds);
  return fit_width(counted(rounds, "round") + ", " + counted(unique, "unique tag") + ", " +
                       counted(reads, "read") + numbers + " - " + what,
                   width);
}

WatchPrinter::WatchPrinter(const Options &options, const StopSource &stop, WatchObserver *next,
                           Clock &clock)
    : options_(options), stop_(stop), next_(next), writer_(options.output), clock_(clock),
      started_ms_(clock.now_ms()), live_(text() && isatty(STDOUT_FILENO)) {}

WatchPrinter::~WatchPrinter() { end_live(); }

void WatchPrinter::on_round(const Round &round, unsigned number, const TagTable &table) {
  rounds_ = number;
  table_ = &table;
  if (next_) next_->on_round(round, number, table);
  if (!text()) {
    for (const TagRead &read : round.tags) writer_.write(read);
  } else if (live_) {
    redraw("reading; Ctrl-C stops");
  } else {
    // Progress, as plain inventory's count, goes where it does not mix with
    // the table a pipe reads.
    std::fprintf(stderr, "round %u: %s, %zu unique so far\n", number,
                 counted(round.tags.size(), "tag").c_str(), table.entries().size());
  }
  // Nobody is left to show more rounds or a summary to.
  if (std::ferror(stdout)) {
    output_gone_ = true;
    stop_.request_stop();
  }
}

void WatchPrinter::on_round_failed(unsigned number, const Error &why) {
  if (next_) next_->on_round_failed(number, why);
  if (live_) redraw(("round " + std::to_string(number) + " failed: " + why.detail()).c_str());
  if (told_on_stderr()) complain("round %u failed: %s", number, why.detail().c_str());
}

void WatchPrinter::on_reader_lost(unsigned rounds, const Error &why) {
  if (next_) next_->on_reader_lost(rounds, why);
  if (live_) redraw(("reader lost: " + why.detail() + "; looking for it every second").c_str());
  if (told_on_stderr())
    complain("reader lost after round %u: %s; looking for it every second", rounds,
             why.detail().c_str());
}

void WatchPrinter::on_reader_back(std::int64_t away_ms) {
  if (next_) next_->on_reader_back(away_ms);
  if (live_) redraw("reader back; reading; Ctrl-C stops");
  if (told_on_stderr()) complain("reader back after %.1f s; carrying on", double(away_ms) / 1000);
}

bool WatchPrinter::told_on_stderr() const {
  // On the live screen the status line says it; a line on the same terminal
  // would land in the middle of the table.
  return !live_ || !isatty(STDERR_FILENO);
}

void WatchPrinter::idle(int ms, Clock &clock) {
  if (next_)
    next_->idle(ms, clock);
  else
    clock.sleep_ms(ms);
}

void WatchPrinter::redraw(const char *what) {
  if (!table_) return;
  // The table, a blank line and the status line fit the screen, so nothing
  // scrolls; each line is written over the last drawing's and cleared to
  // its end, and what is left below the new drawing is cleared.
  const TerminalSize size = options_.terminal();
  std::string screen = drawn_ ? "\033[H" : std::string(kEnterLive) + "\033[H";
  drawn_ = true;
  const std::size_t rows = size.rows > 4 ? size.rows - 3 : 1;
  for (const std::string &line :
       table_lines(*table_, options_.order, options_.columns, rows, size.columns))
    screen += line + "\033[K\n";
  screen += "\033[K\n";
  screen += watch_status_line(rounds_, table_->entries().size(), table_->reads(),
                              clock_.now_ms() - started_ms_, what, size.columns);
  screen += "\033[K\033[J";
  std::fputs(screen.c_str(), stdout);
  std::fflush(stdout);
}

void WatchPrinter::end_live() {
  if (!drawn_) return;
  drawn_ = false;
  std::fputs(kLeaveLive, stdout);
  std::fflush(stdout);
}

void WatchPrinter::summary(const WatchSummary &s) {
  end_live();
  // On a terminal all of it stays on the screen, cut to its width; to a
  // file or pipe the summary line goes to stderr, as plain inventory's
  // count does, and stdout gets the whole table (or the records).
  std::FILE *out = live_ ? stdout : stderr;
  const std::size_t width = live_ ? options_.terminal().columns : kUnlimited;
  const std::size_t unique = table_ ? table_->entries().size() : 0;
  const unsigned reads = table_ ? table_->reads() : 0;
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.1f s", double(s.elapsed_ms) / 1000);
  std::string line = std::string(s.stopped ? "stopped" : "done") + " after " +
                     counted(s.rounds, "round") + " in " + seconds + ": " +
                     counted(unique, "unique tag") + ", " + counted(reads, "read");
  if (s.failed > 0) line += ", " + counted(s.failed, "round") + " failed";
  std::fflush(stdout);
  std::fprintf(out, "%s\n", fit_width(line, width).c_str());
  std::fflush(out);
  // The summary is the whole table, in the order asked for.
  if (table_)
    print_table(text() ? stdout : stderr, *table_, options_.order, options_.columns, kUnlimited,
                width);
  std::fflush(stdout);
}

}  // namespace velkor::tool
