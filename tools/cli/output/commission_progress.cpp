#include "tools/cli/output/commission_progress.h"

#include <unistd.h>

#include <cstdio>

#include "app/events/commission_events.h"
#include "tools/cli/cli.h"
#include "tools/cli/output/tag_output.h"

namespace velkor::tool {

namespace {

void emit(const events::Event &event) {
  std::printf("%s\n", event.text().c_str());
  std::fflush(stdout);
}

std::string uri_or_hex(const JournalEntry &e) { return e.uri.empty() ? e.epc : e.uri; }

}  // namespace

CommissionProgressPrinter::CommissionProgressPrinter(bool json)
    : json_(json), live_(!json && isatty(STDOUT_FILENO)) {}

// On a terminal the status line is cleared first and drawn again after.
void CommissionProgressPrinter::line(const std::string &text) {
  std::printf("%s%s\n", live_ ? "\r\033[K" : "", text.c_str());
  if (live_) status_line(progress_);
  std::fflush(stdout);
}

void CommissionProgressPrinter::status_line(const CommissionProgress &p) {
  std::printf("\r\033[K%zu/%zu done, %.1f tags/min%s%s -- place the next tag", p.done, p.total,
              p.per_minute, last_.empty() ? "" : ", last ", last_.c_str());
  std::fflush(stdout);
}

void CommissionProgressPrinter::clear() {
  if (!live_) return;
  std::printf("\r\033[K");
  std::fflush(stdout);
}

void CommissionProgressPrinter::on_waiting(const CommissionProgress &p) {
  progress_ = p;
  if (live_) status_line(p);
}

void CommissionProgressPrinter::on_warning(const Error &why) {
  clear();
  complain("commission: %s", why.words.c_str());
}

void CommissionProgressPrinter::on_interrupted_earlier(const JournalEntry &e) {
  if (json_) return emit(events::entry_event("interrupted", e));
  line("serial " + e.serial + " (" + uri_or_hex(e) + ") was being written to tag " + e.tid +
       " when an earlier run stopped: it is finished when that tag is on the reader, and "
       "never given to another");
}

void CommissionProgressPrinter::on_voided(const JournalEntry &e) {
  if (json_) return emit(events::entry_event("void", e));
  line("serial " + e.serial + " (" + uri_or_hex(e) + ") is void: it is never given to a tag" +
       (e.tid.empty() ? std::string() : ", and tag " + e.tid + " is not waited for"));
}

void CommissionProgressPrinter::on_several(std::size_t tags) {
  if (json_) return emit(events::several_event(tags));
  line(counted(tags, "tag") + " in the field: leave only the one to commission");
}

void CommissionProgressPrinter::on_unneeded(const Bytes &epc) {
  if (json_) return emit(events::unneeded_event(epc));
  line("tag " + to_hex(epc) + ": every identity is used; take it off the reader");
}

void CommissionProgressPrinter::on_resuming(const JournalEntry &e) {
  if (json_) return emit(events::entry_event("resuming", e));
  line("serial " + e.serial + ": tag " + e.tid + " is back, finishing its interrupted write");
}

void CommissionProgressPrinter::on_left(const JournalEntry &e) {
  if (json_) return emit(events::entry_event("left", e));
  line("serial " + e.serial + ": tag " + e.tid +
       " left the field during its write; put it back to finish it");
}

void CommissionProgressPrinter::on_finished(const JournalEntry &e, const CommissionProgress &p) {
  progress_ = p;
  if (e.result == kOk) last_ = uri_or_hex(e);
  if (json_) return emit(events::tag_event(e, p));
  line(std::to_string(p.done) + "/" + std::to_string(p.total) + " serial " + e.serial + " " +
       uri_or_hex(e) + " tag " + e.tid + " " + e.result);
}

void CommissionProgressPrinter::end(const CommissionSummary &s, int exit_code) {
  if (json_) {
    events::Event event = events::end_event(s);
    event.document["exit"] = exit_code;
    return emit(event);
  }
  clear();
  for (const JournalEntry &e : s.interrupted)
    std::printf("serial %s: still interrupted on tag %s\n", e.serial.c_str(), e.tid.c_str());
  const bool complete = s.end == CommissionEnd::kComplete;
  std::printf("%zu of %zu commissioned (%zu in this run, %.1f s)%s%s\n", s.progress.done,
              s.progress.total, s.progress.this_run, double(s.progress.elapsed_ms) / 1000,
              complete ? "" : ": ", complete ? "" : end_name(s.end));
  std::fflush(stdout);
}

}  // namespace velkor::tool
