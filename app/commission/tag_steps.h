// The reader's part of commissioning one tag: its TID, then, addressed by
// that TID (so that no other tag in the field can take the identity), the
// EPC write, the read-back, the access password and the locks.
#ifndef VELKOR_APP_COMMISSION_TAG_STEPS_H
#define VELKOR_APP_COMMISSION_TAG_STEPS_H

#include <functional>
#include <vector>

#include "app/base/error.h"
#include "app/base/hex.h"
#include "app/reader/session.h"

namespace velkor::app {

/// Reads the TID of the tag whose EPC is epc (kNoTag when it left).
Result<Bytes> read_tid(Session &s, const Bytes &epc);

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
/// is confirmed, before the read-back.  Errors name the step in their
/// operation ("EPC write", "read-back", "access password", "lock"); kNoTag
/// when the tag left, kConflict when the read-back differs.
Status commission_tag(Session &s, const TagWork &work, const std::function<void()> &after_write);

}  // namespace velkor::app

#endif  // VELKOR_APP_COMMISSION_TAG_STEPS_H
