#include "app/watch/watch.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace velkor::app {

namespace {

// Waits are cut into steps this long, so that a stop is seen soon.
constexpr std::int64_t kStepMs = 50;

RoundPacing::Duration as_duration(std::int64_t ms) {
  return std::chrono::duration_cast<RoundPacing::Duration>(std::chrono::milliseconds(ms));
}

std::int64_t as_ms(RoundPacing::Duration d) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

}  // namespace

Watch::Watch(Session &session, const WatchOptions &options, WatchObserver &observer,
             Clock &clock)
    : session_(session), options_(options), observer_(observer), clock_(clock),
      table_(options.depart_after_ms) {}

void Watch::pause(std::int64_t ms, const StopToken &stop) {
  // Rounds back to back still pass through idle(), so that the caller's
  // queued work (a server's requests) runs between them.
  if (ms <= 0 && !stop.stop_requested()) observer_.idle(0, clock_);
  const std::int64_t until = clock_.now_ms() + ms;
  for (std::int64_t left = ms; !stop.stop_requested() && left > 0;
       left = until - clock_.now_ms())
    observer_.idle(static_cast<int>(std::min(left, kStepMs)), clock_);
}

void Watch::answered(const Round &round) {
  const unsigned number = ++summary_.rounds;
  const std::int64_t now = clock_.now_ms();
  std::vector<std::size_t> arrived;
  for (const TagRead &read : round.tags)
    if (std::size_t at = 0; table_.add(read, now, &at)) arrived.push_back(at);
  observer_.on_round(round, number, table_);
  for (std::size_t at : arrived) observer_.on_arrive(table_.entries()[at]);
  for (const TagTable::Entry &gone : table_.depart(now)) observer_.on_depart(gone, round.time);
}

Result<WatchSummary> Watch::run(StopToken stop) {
  const std::int64_t start = clock_.now_ms();
  auto elapsed = [&] { return as_duration(clock_.now_ms() - start); };
  bool lost = false;
  std::int64_t lost_at = 0;
  while (!stop.stop_requested()) {
    if (lost) {
      pause(options_.retry_every_ms, stop);
      // The duration ends the watch also while the reader is away.
      if (!options_.pacing.another(0, elapsed())) break;
      if (stop.stop_requested() || !session_.reconnect()) continue;
      lost = false;
      observer_.on_reader_back(clock_.now_ms() - lost_at);
      continue;
    }
    const Round round =
        inventory_round(session_, options_.mask, options_.tid, summary_.rounds + 1, clock_);
    // A round cut short by a stop is no lost reader and no failed round.
    if (stop.stop_requested() && !round.answered()) break;
    if (!options_.carry_on && !round.answered()) return round.error();
    if (round.status == STATUS_COMM_ERROR && summary_.rounds == 0 && summary_.failed == 0 &&
        *session_.address() != 0xFF) {
      char words[80];
      std::snprintf(words, sizeof words,
                    "nothing answers at address 0x%02X; address 255 reaches any reader",
                    *session_.address());
      return Error::because(ErrorKind::kLink, "watch", words);
    }
    if (round.link_lost()) {
      lost = true;
      lost_at = clock_.now_ms();
      observer_.on_reader_lost(summary_.rounds, round.error());
      continue;
    }
    if (!round.answered()) {
      ++summary_.failed;
      observer_.on_round_failed(summary_.rounds + 1, round.error());
      continue;
    }
    answered(round);
    session_.round_finished();
    if (!options_.pacing.another(summary_.rounds, elapsed())) break;
    pause(as_ms(options_.pacing.pause(elapsed())), stop);
  }
  summary_.stopped = stop.stop_requested();
  summary_.elapsed_ms = clock_.now_ms() - start;
  return summary_;
}

}  // namespace velkor::app
