// Which tag a Gen2 operation acts on, and the one-tag rule every operation
// that changes a tag follows: the tag is named by its EPC or by a selection
// mask, or else it must be the only tag in the field.  Nothing is sent to a
// tag before its target is settled, so in a field of several unnamed tags
// nothing changes.
#ifndef VELKOR_APP_TAGS_TARGET_H
#define VELKOR_APP_TAGS_TARGET_H

#include <string>

#include "app/base/error.h"
#include "app/reader/session.h"
#include "app/tags/mask.h"

namespace velkor::app {

struct Target {
  Bytes epc;   ///< the tag's EPC, whole words; empty: not named by EPC
  Mask mask;   ///< used() names the tag by these bits instead
  Bytes password{0, 0, 0, 0};  ///< the access (or kill) password, 4 bytes

  bool named() const { return !epc.empty() || mask.used(); }
  /// "3000AB..." or "matching mask 30".
  std::string text() const;
};

/// Settles which tag `operation` changes.  A named target stays as it is;
/// with none, one inventory round runs and its only tag's EPC names it.
/// Errors: kNoTag ("no tag in the field"), kSeveralTags ("6 tags in the
/// field; name the one to change", with tags set), or the round's failure.
Result<Target> settle_target(Session &s, const Target &target, const char *operation);

/// The library's addressing arguments for a target: the EPC form, or the
/// mask form (0xFF words) when a mask is used.
class TargetArgs {
 public:
  explicit TargetArgs(const Target &t);
  unsigned char *epc() { return epc_.empty() ? &none_ : epc_.data(); }
  /// The identifier's words, 0xFF for the mask form, 0 for any tag.
  unsigned char words() const { return words_; }
  unsigned char *password() { return password_.data(); }
  unsigned char bank() const { return bank_; }
  unsigned char *mask_address() { return mask_address_; }
  unsigned char mask_bits() const { return mask_bits_; }
  unsigned char *mask() { return mask_.empty() ? &none_ : mask_.data(); }

 private:
  Bytes epc_, password_, mask_;
  unsigned char words_ = 0, bank_ = 0, mask_bits_ = 0;
  unsigned char mask_address_[2] = {0, 0};
  unsigned char none_ = 0;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_TAGS_TARGET_H
