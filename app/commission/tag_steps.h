// The reader's part of commissioning one tag: its TID, then, addressed by
// that TID (so that no other tag in the field can take the identity), the
// EPC write, the read-back, the access password and the locks.
#ifndef VELKOR_APP_COMMISSION_TAG_STEPS_H
#define VELKOR_APP_COMMISSION_TAG_STEPS_H

#include <functional>
#include <string>
#include <vector>

#include "app/base/hex.h"
#include "app/reader/session.h"
#include "app/tags/inventory_round.h"

namespace velkor::app {

/// What a step's outcome holds: 0 done, kStepFailed, or kStepNoTag for a
/// tag that left (the values of the tool's exit statuses for them).
constexpr int kStepFailed = 1;
constexpr int kStepNoTag = 3;

/// What a step came to, and the reason when it failed.
struct StepOutcome {
  int exit_code = 0;
  std::string reason;
  bool ok() const { return exit_code == 0; }
};

/// Reads the TID of the tag whose EPC is epc.
StepOutcome read_tid(Session &s, Bytes epc, Bytes *tid);

/// The work on one tag.
struct TagWork {
  Bytes tid;
  Bytes epc;              ///< the EPC to write, whole words
  Bytes access_password;  ///< 4 bytes to set, or empty for none
  std::vector<int> lock;  ///< lock fields (VELKOR_LOCK_EPC, ...) to lock with it
};

/// Writes the EPC (with the PC word's length bits when the length changes;
/// not at all when the tag holds it already), reads it back and compares,
/// then sets the password and the locks.  after_write runs once the write
/// is confirmed, before the read-back.
StepOutcome commission_tag(Session &s, const TagWork &work,
                           const std::function<void()> &after_write);

}  // namespace velkor::app

#endif  // VELKOR_APP_COMMISSION_TAG_STEPS_H
