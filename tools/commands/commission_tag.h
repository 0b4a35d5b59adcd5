// The reader's part of commissioning one tag: its TID, then, addressed by
// that TID (so that no other tag in the field can take the identity), the
// EPC write, the read-back, the access password and the locks.
#ifndef VELKOR_TOOLS_COMMISSION_TAG_H
#define VELKOR_TOOLS_COMMISSION_TAG_H

#include <functional>
#include <string>
#include <vector>

#include "tools/commands/inventory_round.h"
#include "tools/output/hex.h"
#include "tools/session/session.h"

namespace velkor::tool {

/// What a step came to: the exit status for it (kExitOk, kExitFailed,
/// kExitNothing for a tag that left) and the reason when it failed.
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

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_COMMISSION_TAG_H
