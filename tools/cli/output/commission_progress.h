// What `commission` tells whoever watches it: a line per tag and, on a
// terminal, a status line kept up to date (count done, rate, last tag); or,
// with --json, one document per line per event for a program driving it.
#ifndef VELKOR_TOOLS_COMMISSION_PROGRESS_H
#define VELKOR_TOOLS_COMMISSION_PROGRESS_H

#include <string>

#include "app/commission/commissioning.h"
#include "tools/cli/core_names.h"

namespace velkor::tool {

class CommissionProgressPrinter final : public CommissionObserver {
 public:
  explicit CommissionProgressPrinter(bool json);

  void on_interrupted_earlier(const JournalEntry &entry) override;
  void on_voided(const JournalEntry &entry) override;
  void on_several(std::size_t tags) override;
  void on_unneeded(const Bytes &epc) override;
  void on_resuming(const JournalEntry &entry) override;
  void on_left(const JournalEntry &entry) override;
  void on_finished(const JournalEntry &entry, const CommissionProgress &progress) override;
  void on_waiting(const CommissionProgress &progress) override;
  void on_warning(const Error &why) override;

  /// The end: the writes still interrupted, the count, and how it ended;
  /// with --json the exit status too.
  void end(const CommissionSummary &summary, int exit_code);
  /// Takes the status line away, for a message on stderr.
  void clear();

 private:
  void line(const std::string &text);
  void status_line(const CommissionProgress &progress);

  bool json_;
  bool live_;
  std::string last_;
  CommissionProgress progress_;
};

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_COMMISSION_PROGRESS_H
