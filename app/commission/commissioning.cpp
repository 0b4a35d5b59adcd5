#include "app/commission/commissioning.h"

#include <cstdio>

#include "app/base/time_text.h"
#include "app/commission/tag_steps.h"
#include "app/tags/inventory_round.h"

namespace velkor::app {

Status check_locks(const std::vector<int> &lock, const Bytes &access_password) {
  if (!lock.empty() && (access_password.empty() || access_password == Bytes(4, 0)))
    return Error::because(ErrorKind::kBadInput, "commission",
                          "a lock needs a non-zero access password");
  return {};
}

namespace {

Error failed(ErrorKind kind, std::string words, int status = 0) {
  Error e = Error::because(kind, "commission", std::move(words));
  e.status = status;
  return e;
}

// A failure of one of the reader's steps, kept with its status.
Error failed(const Error &step, const std::string &before) {
  return failed(step.kind, before + step.operation + ": " + step.detail(), step.status);
}

}  // namespace

const char *end_name(CommissionEnd end) {
  switch (end) {
    case CommissionEnd::kComplete: return "complete";
    case CommissionEnd::kNoTag: return "no tag came";
    case CommissionEnd::kStopped: return "stopped";
    case CommissionEnd::kFailed: return "failed";
  }
  return "?";
}

Commissioning::Commissioning(Session &session, CommissionOptions options,
                             CommissionObserver &observer, Clock &clock)
    : s_(session), o_(std::move(options)), observer_(observer), clock_(clock) {}

Status Commissioning::open() {
  std::string why;
  if (!journal_.open(o_.journal, &why)) return failed(ErrorKind::kBadInput, why);
  done_ = 0;
  for (const Identity &i : o_.plan) {
    const JournalEntry *entry = journal_.last_of(to_hex(i.epc));
    done_ += entry && entry->result == kOk;
  }
  start_ms_ = clock_.now_ms();
  for (const JournalEntry &cut : journal_.interrupted()) observer_.on_interrupted_earlier(cut);
  return {};
}

CommissionProgress Commissioning::progress() const {
  CommissionProgress p;
  p.done = done_;
  p.total = o_.plan.size();
  p.this_run = done_here_;
  p.elapsed_ms = clock_.now_ms() - start_ms_;
  p.per_minute = p.elapsed_ms > 0 ? 60000.0 * double(done_here_) / double(p.elapsed_ms) : 0;
  return p;
}

Status Commissioning::log(const JournalEntry &entry) {
  std::string why;
  if (!journal_.append(entry, &why)) return failed(ErrorKind::kFile, why);
  return {};
}

void Commissioning::keep_state() {
  if (Status kept = s_.checkpoint(); !kept) observer_.on_warning(kept.error());
}

void Commissioning::pause(int ms) { observer_.idle(ms, clock_); }

void Commissioning::restart_clock() { deadline_ms_ = clock_.now_ms() + o_.timeout_ms; }

// Identities only ever become used, so the search goes on where it stopped.
std::optional<Identity> Commissioning::next_free() {
  for (; cursor_ < o_.plan.size(); ++cursor_)
    if (!journal_.last_of(to_hex(o_.plan[cursor_].epc))) return o_.plan[cursor_];
  return std::nullopt;
}

Status Commissioning::void_serial(const std::string &serial) {
  const Identity *identity = nullptr;
  for (const Identity &i : o_.plan)
    if (i.serial == serial) identity = &i;
  if (!identity)
    return failed(ErrorKind::kBadInput, "serial " + serial + " is not in the plan");
  const JournalEntry *last = journal_.last_of(to_hex(identity->epc));
  if (last && last->result == kVoid) return {};
  if (last && last->result == kOk)
    return failed(ErrorKind::kConflict, "serial " + serial + " is on tag " + last->tid +
                                            " already; only a lost serial can be voided");
  const JournalEntry entry{utc_time(clock_.wall()), serial, to_hex(identity->epc),
                           identity->uri, last ? last->tid : "", kVoid};
  if (Status kept = log(entry); !kept) return kept;
  observer_.on_voided(entry);
  return {};
}

// The next tag to work on: the tag of an interrupted write if one is in the
// field, else the only tag not commissioned yet.
Result<Bytes> Commissioning::wait_for_tag(const StopToken &stop) {
  std::size_t several = 0;
  for (;;) {
    const Round round = inventory_round(s_, Mask{}, false, 1, clock_);
    if (!round.answered())
      return failed(round.error().kind, "inventory failed: " + round.error().detail(),
                    round.status);
    std::vector<Bytes> candidates;
    for (const TagRead &tag : round.tags) {
      const JournalEntry *entry = journal_.last_of(to_hex(tag.epc));
      if (entry && entry->result == kWriting) return tag.epc;
      if (!entry && unneeded_.count(tag.epc) == 0) candidates.push_back(tag.epc);
    }
    if (candidates.size() == 1) return candidates.front();
    if (candidates.size() > 1 && candidates.size() != several) observer_.on_several(candidates.size());
    several = candidates.size();
    if (stop.stop_requested()) return failed(ErrorKind::kStopped, "stopped");
    if (clock_.now_ms() >= deadline_ms_) {
      char words[80];
      std::snprintf(words, sizeof words, "no tag to commission within %g s",
                    double(o_.timeout_ms) / 1000);
      return failed(ErrorKind::kNoTag, words);
    }
    observer_.on_waiting(progress());
    pause(o_.poll_every_ms);
  }
}

// Works on the tag whose EPC is epc: finishes its interrupted write, or
// gives it the next free identity.
Status Commissioning::take(const Bytes &epc) {
  const Result<Bytes> tid = read_tid(s_, epc);
  if (!tid) {
    // A tag that left before its TID was read: wait on, within the timeout.
    if (tid.error().kind == ErrorKind::kNoTag) {
      pause(o_.poll_every_ms);
      return {};
    }
    return failed(tid.error(), "tag " + to_hex(epc) + ": ");
  }
  const std::string tid_hex = to_hex(*tid);
  for (const JournalEntry &cut : journal_.interrupted())
    if (cut.tid == tid_hex) {
      observer_.on_resuming(cut);
      ++taken_;
      return finish(cut, true);
    }
  if (const JournalEntry *entry = journal_.last_of(to_hex(epc)))
    return failed(ErrorKind::kConflict, "tag " + tid_hex + " holds EPC " + entry->epc +
                                            ", which was being written to tag " + entry->tid);
  const std::optional<Identity> next = next_free();
  if (!next) {
    observer_.on_unneeded(epc);
    unneeded_.insert(epc);
    return {};
  }
  ++taken_;
  JournalEntry entry{utc_time(clock_.wall()), next->serial, to_hex(next->epc), next->uri,
                     tid_hex, kWriting};
  // On disk before the tag is touched: whatever happens next, a rerun knows
  // this identity is taken, and by which tag.
  if (Status kept = log(entry); !kept) return kept;
  return finish(entry, false);
}

Status Commissioning::finish(JournalEntry entry, bool resumed) {
  observer_.on_stage(CommissionStage::kBeforeWrite, taken_);
  const TagWork work{*parse_hex(entry.tid, nullptr), *parse_hex(entry.epc, nullptr),
                     o_.access_password, o_.lock};
  // The emulated reader's state is kept as soon as the tag holds the EPC,
  // as a real tag keeps it; a failure to keep it does not stop the run.
  const Status done = commission_tag(s_, work, [&] {
    (void)s_.checkpoint();  // said once, just below
    observer_.on_stage(CommissionStage::kAfterWrite, taken_);
  });
  keep_state();
  if (!done && done.error().kind == ErrorKind::kNoTag) {
    // Gone before it was done: the identity stays with it until it is back.
    observer_.on_left(entry);
    pause(o_.poll_every_ms);
    return {};
  }
  observer_.on_stage(CommissionStage::kBeforeOutcome, taken_);
  const std::string reason =
      done ? "" : done.error().operation + ": " + done.error().detail();
  entry.time = utc_time(clock_.wall());
  entry.result = done ? kOk : "failed: " + reason;
  if (Status kept = log(entry); !kept) return kept;
  if (done) {
    ++done_;
    ++done_here_;
  }
  observer_.on_finished(entry, progress());
  restart_clock();
  if (done) return {};
  return failed(done.error().kind,
                "serial " + entry.serial + " on tag " + entry.tid + ": " + reason +
                    (resumed ? " (finishing an interrupted write)" : ""),
                done.error().status);
}

CommissionSummary Commissioning::run(StopToken stop) {
  restart_clock();
  Status status;
  while (status && (next_free() || !journal_.interrupted().empty())) {
    const Result<Bytes> epc = wait_for_tag(stop);
    status = epc ? take(*epc) : Status(epc.error());
    if (status && stop.stop_requested()) status = failed(ErrorKind::kStopped, "stopped");
  }
  CommissionSummary summary;
  summary.progress = progress();
  summary.interrupted = journal_.interrupted();
  if (status) return summary;
  summary.error = status.error();
  summary.end = status.error().kind == ErrorKind::kStopped ? CommissionEnd::kStopped
                : status.error().kind == ErrorKind::kNoTag && status.error().status == 0
                    ? CommissionEnd::kNoTag
                    : CommissionEnd::kFailed;
  return summary;
}

}  // namespace velkor::app
