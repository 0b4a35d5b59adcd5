// What `commission` tells whoever watches it: a line per tag and, on a
// terminal, a status line kept up to date (count done, rate, last tag); or,
// with --json, one JSON object per line per event for a program driving it.
#ifndef VELKOR_TOOLS_COMMISSION_PROGRESS_H
#define VELKOR_TOOLS_COMMISSION_PROGRESS_H

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "app/commission/journal.h"
#include "tools/cli/core_names.h"

namespace velkor::tool {

class CommissionProgress {
 public:
  /// total identities in the plan, of which done are commissioned already.
  CommissionProgress(bool json, std::size_t total, std::size_t done);

  /// A write an earlier run began and did not finish (found in the log).
  void interrupted_earlier(const JournalEntry &entry);
  /// Several tags that could take the next identity are in the field.
  void several(std::size_t tags);
  /// A tag in the field that no identity is left for.
  void unneeded(const std::string &epc_hex);
  /// The tag of an interrupted write is back: its write is finished now.
  void resuming(const JournalEntry &entry);
  /// The tag left the field during its write; it is finished when it is back.
  void left(const JournalEntry &entry);
  /// A tag's last line in the log (ok or failed).
  void finished(const JournalEntry &entry);
  /// The end: how it ended ("complete", "timeout", "stopped", "failed"),
  /// the writes still interrupted and the exit status.
  void end(const char *how, const std::vector<JournalEntry> &interrupted, int exit_code);
  /// Keeps the status line moving while the run waits for a tag.
  void waiting();
  /// Takes the status line away, for a message on stderr.
  void clear();

 private:
  void line(const std::string &text);
  void status_line();
  double rate() const;

  bool json_;
  bool live_;
  std::size_t total_;
  std::size_t done_;
  std::size_t done_here_ = 0;
  std::string last_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_COMMISSION_PROGRESS_H
