// How a Gen2 tag command names its tag, carries the access password and
// reports the tag's error code.  Every tag command lays its request out the
// same way around its own fields:
//
//   identifier form (E = 0..31):  E, 2E identifier bytes, fields
//   mask form       (E = 0xFF):   0xFF, fields, mask group
//
// and E from 32 to 254 is refused before anything is sent.  Some commands put
// a byte ahead of E (the write functions' word count); they add it to the
// frame before handing it over.
#ifndef VELKOR_GEN2_TAG_ADDRESSING_H
#define VELKOR_GEN2_TAG_ADDRESSING_H

#include <cstddef>
#include <cstdint>

#include "protocol/exchange.h"

namespace velkor {

/// Bytes of an access or kill password, copied in memory order.
constexpr std::size_t kPasswordSize = 4;

/// E that names the tag by the mask group instead of an identifier.
constexpr std::uint8_t kByMask = 0xFF;
/// Identifier forms run from E = 0 to this.
constexpr std::uint8_t kMaxIdentifierWords = 31;

/// The tag a command works on: by identifier or by mask.
struct TagAddress {
  const std::uint8_t *epc;  ///< 2E bytes; read only in the identifier form
  std::uint8_t words;       ///< E
  Mask mask;                ///< read only in the mask form

  bool by_mask() const { return words == kByMask; }
  bool refused() const { return !by_mask() && words > kMaxIdentifierWords; }
};

/// Appends a four-byte password in memory order.
inline Frame &put_password(Frame &frame, const std::uint8_t *password) {
  return frame.bytes(password, kPasswordSize);
}

/// The fields of a command that carries the password alone.
inline auto password_field(const std::uint8_t *password) {
  return [password](Frame &frame) { put_password(frame, password); };
}

/// The rules of a single-frame tag command: its variant, and the tag error
/// code (-1 on status 0, reply byte 4 on status 0xFC).
inline Rules tag_rules(Variant variant, int *error_code) {
  return {.variant = variant, .tag_error = error_code};
}

/// Runs a tag-addressed command: refuses E from 32 to 254 (nothing sent,
/// nothing written), lays out E and the identifier, the command's own fields
/// (fields(frame)), the mask group in the mask form, then the exchange.  A
/// request that cannot fit one report is refused by the frame itself.
template <typename Fields, typename Outputs>
int tag_exchange(Frame &frame, const TagAddress &tag, Fields &&fields,
                 VelkorHandle handle, const Rules &rules, Outputs &&outputs) {
  if (tag.refused()) return STATUS_PARAMETER_ERROR;
  frame.u8(tag.words);
  if (!tag.by_mask()) frame.bytes(tag.epc, 2u * tag.words);
  fields(frame);
  if (tag.by_mask()) frame.mask(tag.mask);
  return exchange(frame, handle, rules, outputs);
}

template <typename Fields>
int tag_exchange(Frame &frame, const TagAddress &tag, Fields &&fields,
                 VelkorHandle handle, const Rules &rules) {
  return tag_exchange(frame, tag, fields, handle, rules, [](const Reply &) {});
}

}  // namespace velkor

#endif  // VELKOR_GEN2_TAG_ADDRESSING_H
