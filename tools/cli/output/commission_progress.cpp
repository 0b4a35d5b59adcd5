#include "tools/cli/output/commission_progress.h"

#include <unistd.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "tools/cli/output/tag_output.h"

namespace velkor::tool {

namespace {

using nlohmann::json;

json fields_of(const char *event, const JournalEntry &e) {
  return {{"event", event}, {"time", e.time}, {"serial", e.serial}, {"epc", e.epc},
          {"uri", e.uri.empty() ? json() : json(e.uri)},  {"tid", e.tid}};
}

void emit(const json &event) {
  std::printf("%s\n", event.dump().c_str());
  std::fflush(stdout);
}

std::string uri_or_hex(const JournalEntry &e) { return e.uri.empty() ? e.epc : e.uri; }

}  // namespace

CommissionProgress::CommissionProgress(bool json, std::size_t total, std::size_t done)
    : json_(json), live_(!json && isatty(STDOUT_FILENO)), total_(total), done_(done) {}

double CommissionProgress::rate() const {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  return seconds > 0 ? static_cast<double>(done_here_) / seconds : 0;
}

// On a terminal the status line is cleared first and drawn again after.
void CommissionProgress::line(const std::string &text) {
  std::printf("%s%s\n", live_ ? "\r\033[K" : "", text.c_str());
  if (live_) status_line();
  std::fflush(stdout);
}

void CommissionProgress::status_line() {
  std::printf("\r\033[K%zu/%zu done, %.1f tags/min%s%s -- place the next tag", done_, total_,
              60 * rate(), last_.empty() ? "" : ", last ", last_.c_str());
  std::fflush(stdout);
}

void CommissionProgress::clear() {
  if (!live_) return;
  std::printf("\r\033[K");
  std::fflush(stdout);
}

void CommissionProgress::waiting() {
  if (live_) status_line();
}

void CommissionProgress::interrupted_earlier(const JournalEntry &e) {
  if (json_) return emit(fields_of("interrupted", e));
  line("serial " + e.serial + " (" + uri_or_hex(e) + ") was being written to tag " + e.tid +
       " when an earlier run stopped: it is finished when that tag is on the reader, and "
       "never given to another");
}

void CommissionProgress::several(std::size_t tags) {
  if (json_) return emit({{"event", "several"}, {"tags", tags}});
  line(counted(tags, "tag") + " in the field: leave only the one to commission");
}

void CommissionProgress::unneeded(const std::string &epc_hex) {
  if (json_) return emit({{"event", "unneeded"}, {"epc", epc_hex}});
  line("tag " + epc_hex + ": every identity is used; take it off the reader");
}

void CommissionProgress::resuming(const JournalEntry &e) {
  if (json_) return emit(fields_of("resuming", e));
  line("serial " + e.serial + ": tag " + e.tid + " is back, finishing its interrupted write");
}

void CommissionProgress::left(const JournalEntry &e) {
  if (json_) return emit(fields_of("left", e));
  line("serial " + e.serial + ": tag " + e.tid +
       " left the field during its write; put it back to finish it");
}

void CommissionProgress::finished(const JournalEntry &e) {
  const bool ok = e.result == kOk;
  if (ok) {
    ++done_;
    ++done_here_;
    last_ = uri_or_hex(e);
  }
  if (json_) {
    json event = fields_of("tag", e);
    event["result"] = e.result;
    event["done"] = done_;
    event["of"] = total_;
    event["per_minute"] = 60 * rate();
    return emit(event);
  }
  line(std::to_string(done_) + "/" + std::to_string(total_) + " serial " + e.serial + " " +
       uri_or_hex(e) + " tag " + e.tid + " " + e.result);
}

void CommissionProgress::end(const char *how, const std::vector<JournalEntry> &interrupted,
                             int exit_code) {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  if (json_) {
    json serials = json::array();
    for (const JournalEntry &e : interrupted) serials.push_back(e.serial);
    return emit({{"event", "end"},   {"result", how},         {"done", done_},
                 {"of", total_},     {"this_run", done_here_}, {"seconds", seconds},
                 {"interrupted", serials}, {"exit", exit_code}});
  }
  clear();
  for (const JournalEntry &e : interrupted)
    std::printf("serial %s: still interrupted on tag %s\n", e.serial.c_str(), e.tid.c_str());
  std::printf("%zu of %zu commissioned (%zu in this run, %.1f s)%s%s\n", done_, total_,
              done_here_, seconds, std::string(how) == "complete" ? "" : ": ",
              std::string(how) == "complete" ? "" : how);
  std::fflush(stdout);
}

}  // namespace velkor::tool
