// Commissioning: a plan of identities written to tags placed on the reader
// one at a time, each verified and optionally locked, with every step kept
// in a write-ahead journal, so that a run cut short by a crash, a power cut
// or a stop resumes where it stopped without giving an identity twice.  A
// serial whose tag is lost is voided: logged "void", never issued again.
//
// A run is a job: it holds its session, its journal and its stop token, so
// one process runs several on several readers.
#ifndef VELKOR_APP_COMMISSION_COMMISSIONING_H
#define VELKOR_APP_COMMISSION_COMMISSIONING_H

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/base/clock.h"
#include "app/base/error.h"
#include "app/base/stop_token.h"
#include "app/commission/journal.h"
#include "app/commission/plan.h"
#include "app/reader/session.h"

namespace velkor::app {

struct CommissionOptions {
  Plan plan;
  std::string journal;    ///< the log's path; "": kept in memory only
  Bytes access_password;  ///< 4 bytes to set on each tag, or empty
  std::vector<int> lock;  ///< lock fields (VELKOR_LOCK_...) to lock with it
  /// How long to wait for each next tag, counted from the start and from
  /// each tag done (so a tag that keeps leaving cannot hold the run); 0:
  /// look once.
  std::int64_t timeout_ms = 60000;
  int poll_every_ms = 100;  ///< between looks for a tag
};

/// Refuses locks without a password to open them again: a tag locked with
/// the zero access password stays writable by anyone.
/// @param lock             [in] the lock fields asked for
/// @param access_password  [in] the access password to set (4 bytes), or empty
/// @return success, or kBadInput "a lock needs a non-zero access password"
///         (operation "commission")
Status check_locks(const std::vector<int> &lock, const Bytes &access_password);

/// Where a run stands.
struct CommissionProgress {
  std::size_t done = 0;      ///< identities of the plan commissioned, runs before included
  std::size_t total = 0;     ///< identities in the plan
  std::size_t this_run = 0;  ///< commissioned by this run
  double per_minute = 0;     ///< this run's rate
  std::int64_t elapsed_ms = 0;
};

/// The points of one tag's work a test may stop a run at (as a crash would).
enum class CommissionStage {
  kBeforeWrite,    ///< its "writing" line is on disk, the tag untouched
  kAfterWrite,     ///< the EPC is on the tag, not yet read back
  kBeforeOutcome,  ///< the tag is done, locks and all; its outcome not logged
};

/// Told how the run goes.  Every hook has a default that does nothing,
/// except idle(), which waits on the clock.
class CommissionObserver {
 public:
  virtual ~CommissionObserver() = default;
  /// A write an earlier run began and did not finish (found in the log).
  virtual void on_interrupted_earlier(const JournalEntry &entry) { (void)entry; }
  /// A serial closed out by void_serial().
  virtual void on_voided(const JournalEntry &entry) { (void)entry; }
  /// Several tags that could take the next identity are in the field.
  virtual void on_several(std::size_t tags) { (void)tags; }
  /// A tag in the field that no identity is left for.
  virtual void on_unneeded(const Bytes &epc) { (void)epc; }
  /// The tag of an interrupted write is back: its write is finished now.
  virtual void on_resuming(const JournalEntry &entry) { (void)entry; }
  /// The tag left the field during its write; it is finished when it is back.
  virtual void on_left(const JournalEntry &entry) { (void)entry; }
  /// A tag's last line in the log (ok or failed).
  virtual void on_finished(const JournalEntry &entry, const CommissionProgress &progress) {
    (void)entry, (void)progress;
  }
  /// Something went wrong that does not stop the run (the emulated reader's
  /// state could not be kept in its file).
  virtual void on_warning(const Error &why) { (void)why; }
  /// The run looks for a tag again (a status line may move on).
  virtual void on_waiting(const CommissionProgress &progress) { (void)progress; }
  /// The `taken`-th tag of this run reached `stage` (a test hook).
  virtual void on_stage(CommissionStage stage, unsigned taken) { (void)stage, (void)taken; }
  /// The run waits up to ms: spend it here (the default sleeps on the clock).
  virtual void idle(int ms, Clock &clock) { clock.sleep_ms(ms); }
};

/// How a run ended.
enum class CommissionEnd { kComplete, kNoTag, kStopped, kFailed };

/// "complete", "no tag came", "stopped", "failed".
const char *end_name(CommissionEnd end);

struct CommissionSummary {
  CommissionEnd end = CommissionEnd::kComplete;
  CommissionProgress progress;
  std::vector<JournalEntry> interrupted;  ///< writes still cut short
  std::optional<Error> error;  ///< kNoTag, kStopped or kFailed: why, operation "commission"
};

class Commissioning {
 public:
  Commissioning(Session &session, CommissionOptions options, CommissionObserver &observer,
                Clock &clock = system_clock());

  /// Opens (creating) and locks the journal, reads what earlier runs wrote
  /// and tells the observer of the writes they left cut short.  kBadInput
  /// for a log that cannot be used, is held by another run or is no
  /// commissioning log.
  Status open();

  /// Closes out a serial of the plan whose tag is lost: a line "void" (the
  /// interrupted write's tag, when there was one) so that it is never
  /// issued again and no longer cut short.  Voiding a void serial does
  /// nothing.  kBadInput for a serial the plan does not hold, kConflict for
  /// one already commissioned, kFile when the line cannot be kept.
  Status void_serial(const std::string &serial);

  /// Works until every identity is used and no write is cut short, the
  /// token stops it, no tag comes in time, or a step fails.
  CommissionSummary run(StopToken stop);

  const Journal &journal() const { return journal_; }
  CommissionProgress progress() const;

 private:
  std::optional<Identity> next_free();
  Result<Bytes> wait_for_tag(const StopToken &stop);
  Status take(const Bytes &epc);
  Status finish(JournalEntry entry, bool resumed);
  Status log(const JournalEntry &entry);
  void pause(int ms);
  void keep_state();
  void restart_clock();

  Session &s_;
  CommissionOptions o_;
  CommissionObserver &observer_;
  Clock &clock_;
  Journal journal_;
  std::set<Bytes> unneeded_;  // tags in the field no identity is left for
  unsigned taken_ = 0;        // tags taken on in this run
  std::size_t cursor_ = 0;    // identities before it are used
  std::size_t done_ = 0, done_here_ = 0;
  std::int64_t start_ms_ = 0;
  std::int64_t deadline_ms_ = 0;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_COMMISSION_COMMISSIONING_H
