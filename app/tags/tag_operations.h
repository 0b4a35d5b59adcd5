// The Gen2 tag operations.  Every one that changes a tag follows the
// one-tag rule (target.h) and returns the target it acted on, settled: the
// tag's EPC, or the mask that named it.  A failure comes back as the
// library's status with the operation's name.
#ifndef VELKOR_APP_TAGS_TAG_OPERATIONS_H
#define VELKOR_APP_TAGS_TAG_OPERATIONS_H

#include "app/base/error.h"
#include "app/reader/session.h"
#include "app/tags/target.h"

namespace velkor::app {

/// Word pointers above this go through the extended commands.
constexpr int kShortPointer = 0xFF;
/// The most words one read reply carries.
constexpr int kMostReadWords = 120;

/// Reads `words` words of a bank from `pointer` on.  Reading changes
/// nothing, so an unnamed target reads whichever tag answers first.
Result<Bytes> read_memory(Session &s, const Target &target, int bank, int pointer, int words);
/// Writes whole words (data.size() even) from `pointer` on.
Result<Target> write_memory(Session &s, const Target &target, int bank, int pointer,
                            const Bytes &data);
/// Zeroes `words` words from `pointer` (at most 255) on.
Result<Target> erase_memory(Session &s, const Target &target, int bank, int pointer, int words);
/// Gives the tag a new EPC (whole words).  An unnamed target, once settled
/// to the only tag in the field, takes it through the EPC write command.
/// Returns the tag as it was named before.
Result<Target> write_epc(Session &s, const Target &target, const Bytes &new_epc);
/// Locks (field: VELKOR_LOCK_..., action: VELKOR_LOCK_WRITABLE ...).
Result<Target> lock_tag(Session &s, const Target &target, int field, int action);
/// Kills the tag; target.password is its kill password.
Result<Target> kill_tag(Session &s, const Target &target);
/// Puts the tag into privacy (it stops answering inventories).
Result<Target> set_privacy(Session &s, const Target &target);
/// Sets or clears the tag's EAS bit.
Result<Target> set_eas(Session &s, const Target &target, bool on);
/// Permalocks one 8-word block of the tag's user memory.
Result<Target> block_lock(Session &s, const Target &target, int block);

/// Takes the tags the password opens out of privacy (no tag is named).
Status reset_privacy(Session &s, const Bytes &password);
/// Whether a tag in the field is in privacy.
Result<bool> check_privacy(Session &s);
/// Whether a tag with its EAS bit set is in the field (the reader's 0xFB
/// means none: false).
Result<bool> eas_alarm(Session &s);

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_TAG_OPERATIONS_H
