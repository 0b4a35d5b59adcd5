#include "tools/cli/commands/inventory_watch.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <thread>

#include "app/base/status_text.h"
#include "app/tags/inventory_round.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands/interrupt_guard.h"
#include "tools/cli/output/tag_table.h"

namespace velkor::tool {

namespace {

constexpr auto kRetryEvery = std::chrono::seconds(1);
// Exit status when standard output can no longer be written.
constexpr int kOutputGone = 1;
constexpr auto kSleepStep = std::chrono::milliseconds(50);

// Waits up to d, waking early on SIGINT; the observer may spend the steps.
void pause_for(std::chrono::steady_clock::duration d, WatchObserver *observer) {
  const auto until = std::chrono::steady_clock::now() + d;
  while (!interrupted() && std::chrono::steady_clock::now() < until) {
    if (observer)
      observer->idle(static_cast<int>(kSleepStep.count()));
    else
      std::this_thread::sleep_for(kSleepStep);
  }
}

double seconds_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t).count();
}

class Watch {
 public:
  Watch(Session &s, MaskOptions &mask, const WatchOptions &options)
      : session_(s), mask_(mask), options_(options), writer_(options.output),
        live_(text() && isatty(STDOUT_FILENO)) {}

  int run();

 private:
  void on_round(const InventoryRound &round);
  void on_lost(int status);
  void on_back();
  void redraw(const char *status_line);
  void summary();
  bool text() const { return options_.output.format == Format::kText; }
  // Messages go where they do not mix with the records.
  std::FILE *messages() const { return text() ? stdout : stderr; }

  Session &session_;
  MaskOptions &mask_;
  WatchOptions options_;
  TagWriter writer_;
  bool live_;
  TagTable table_;
  unsigned rounds_ = 0;
  unsigned failed_ = 0;
  const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lost_at_;
};

int Watch::run() {
  InterruptGuard guard;
  bool lost = false;
  while (!interrupted()) {
    if (lost) {
      pause_for(kRetryEvery, options_.observer);
      // --duration ends the watch also while the reader is away.
      if (!options_.pacing.another(0, std::chrono::steady_clock::now() - start_)) break;
      std::string error;
      if (interrupted() || !session_.reconnect(&error)) continue;
      lost = false;
      on_back();
      continue;
    }
    const InventoryRound round = inventory_round(session_, mask_, options_.output.tid);
    // A round cut short by Ctrl-C is no lost reader and no failed round.
    if (interrupted() && !round.answered()) break;
    // A reader that has never answered at a chosen address is not lost: it
    // listens elsewhere, and looking for it again would only repeat that.
    if (round.status == STATUS_COMM_ERROR && rounds_ == 0 && failed_ == 0 &&
        *session_.address() != 0xFF) {
      complain("nothing answers at address 0x%02X (try --address 255, which any reader "
               "answers)",
               *session_.address());
      return kExitFailed;
    }
    if (round.link_lost()) {
      lost = true;
      on_lost(round.status);
      continue;
    }
    if (!round.answered()) {
      ++failed_;
      complain("round %u failed: %s", rounds_ + 1, describe(round.status).c_str());
      continue;
    }
    on_round(round);
    // Whoever read the output has gone (`velkor ... | head`): nobody is
    // left to show more rounds or a summary to.
    if (std::ferror(stdout)) return kOutputGone;
    session_.round_finished();
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    if (!options_.pacing.another(rounds_, elapsed)) break;
    pause_for(options_.pacing.pause(elapsed), options_.observer);
  }
  summary();
  return interrupted() ? kExitInterrupted : kExitOk;
}

void Watch::on_round(const InventoryRound &round) {
  ++rounds_;
  if (options_.observer) options_.observer->on_round(round, rounds_);
  for (std::size_t i = 0; i < round.epcs.size(); ++i) {
    const TagRead read = round.read(i, rounds_);
    table_.add(read);
    if (!text()) writer_.write(read);
  }
  if (!text()) return;
  if (live_) {
    redraw("reading; Ctrl-C stops");
    return;
  }
  std::printf("round %u: %s, %zu unique so far\n", rounds_,
              counted(round.epcs.size(), "tag").c_str(), table_.entries().size());
  std::fflush(stdout);
}

void Watch::on_lost(int status) {
  lost_at_ = std::chrono::steady_clock::now();
  if (options_.observer) options_.observer->on_reader_lost();
  const std::string why = describe(status);
  complain("reader lost after round %u: %s; looking for it every second", rounds_,
           why.c_str());
  if (live_) redraw(("reader lost: " + why + "; looking for it every second").c_str());
}

void Watch::on_back() {
  if (options_.observer) options_.observer->on_reader_back();
  complain("reader back after %.1f s; carrying on", seconds_since(lost_at_));
  if (live_) redraw("reader back; reading; Ctrl-C stops");
}

// The terminal's rows and columns (24 by 80 when it does not say).
std::pair<std::size_t, std::size_t> terminal_size() {
  winsize size{};
  if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0)
    return {24, 80};
  return {size.ws_row, size.ws_col};
}

void Watch::redraw(const char *status_line) {
  // The table, a blank line and the status line fit the screen, so the
  // header never scrolls away; the status line is cut to one row.
  const auto [rows, columns] = terminal_size();
  std::string status = counted(rounds_, "round") + ", " +
                       counted(table_.entries().size(), "unique tag") + ", " +
                       counted(table_.reads(), "read") + " - " + status_line;
  if (status.size() >= columns) status.resize(columns - 1);
  std::printf("\033[H\033[J");
  table_.print(stdout, options_.order, options_.columns, rows > 4 ? rows - 3 : 1);
  std::printf("\n%s", status.c_str());
  std::fflush(stdout);
}

void Watch::summary() {
  std::FILE *out = messages();
  if (live_) std::printf("\033[H\033[J");
  // The summary is the whole table, in the order asked for.
  std::fprintf(out, "%s after %s in %.1f s: %s, %s", interrupted() ? "stopped" : "done",
               counted(rounds_, "round").c_str(), seconds_since(start_),
               counted(table_.entries().size(), "unique tag").c_str(),
               counted(table_.reads(), "read").c_str());
  if (failed_ > 0) std::fprintf(out, ", %s failed", counted(failed_, "round").c_str());
  std::fprintf(out, "\n");
  table_.print(out, options_.order, options_.columns);
  std::fflush(out);
}

}  // namespace

int watch_inventory(Session &s, MaskOptions &mask, const WatchOptions &options) {
  return Watch(s, mask, options).run();
}

}  // namespace velkor::tool
