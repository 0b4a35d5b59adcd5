// Taking Gen2 command requests apart.  Multi-byte fields (word pointers, mask
// bit addresses, passwords) are read most significant byte first.
#ifndef VELKOR_EMULATOR_GEN2_REQUEST_H
#define VELKOR_EMULATOR_GEN2_REQUEST_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "emulator/gen2_tag_access.h"

namespace velkor::emu {

/// Reads fields in order.  A read past the end yields zeros and marks the
/// reader short.
class FieldReader {
 public:
  explicit FieldReader(const Bytes &bytes) : bytes_(bytes) {}

  std::uint8_t u8();
  std::uint16_t u16();
  std::uint32_t u32();
  Bytes take(std::size_t n);

  std::size_t left() const { return bytes_.size() - at_; }
  /// Every read was within the bytes.
  bool whole() const { return whole_; }

 private:
  const Bytes &bytes_;
  std::size_t at_ = 0;
  bool whole_ = true;
};

/// A mask group: bank, bit address (2 bytes), bit count, ceil(bits / 8)
/// mask bytes.  nullopt when the bytes run short.
std::optional<MaskFilter> read_mask(FieldReader &in);

/// How a tag command names its tag: E = 0..31 by identifier (E = 0 names no
/// particular tag: the first tag that answers takes the command), E = 0xFF
/// by mask (the first answering tag the mask matches).
struct TagSelection {
  std::uint8_t words = 0;
  Bytes epc;
  std::optional<MaskFilter> mask;
};

/// A tag command's request taken apart.  status is non-zero when it cannot
/// be: 0xFF for E from 32 to 254, 0xFD when the lengths do not add up.
struct TagRequest {
  std::uint8_t status = kStatusOk;
  Bytes lead;    ///< bytes ahead of E (the write commands' word count)
  TagSelection selection;
  Bytes fields;  ///< the command's own fields, between identifier and mask
};

/// The size of a command's own fields, which may depend on its lead bytes.
using FieldSize = std::function<std::size_t(const Bytes &lead)>;

/// Splits data into `lead` bytes, E, the identifier (identifier form), the
/// command's fields and the mask group (mask form, last).
TagRequest parse_tag_request(const Bytes &data, std::size_t lead, const FieldSize &fields_size);

/// The tag a selection names among the tags that answer; nullptr for none.
Gen2Tag *select_tag(Population &tags, const TagSelection &selection);
/// The tag that answers first, for the commands that name none.
Gen2Tag *first_answering(Population &tags);

/// An inventory request: two parameter bytes, then the optional mask (4 + n
/// bytes), TID (2) and trailing (3) groups.  The request does not say which
/// groups it carries: a mask group is read when its bank is the EPC, TID or
/// user bank and the bytes after it leave room for exactly the TID and/or
/// trailing groups (so a request with TID and trailing groups but no mask
/// reads as a one-byte mask only when its TID bytes look like a bank and
/// address and its second trailing byte lies in 1..8).  The reader-side
/// buffer's inventory reads its request by the same rule.  status 0xFD when
/// no reading fits.
struct TidGroup {
  std::uint8_t word_pointer, words;
};
struct InventoryRequestView {
  std::uint8_t status = kStatusOk;
  std::optional<MaskFilter> mask;
  std::optional<TidGroup> tid;  ///< asks for each tag's TID words beside its EPC
};
InventoryRequestView parse_inventory_request(const Bytes &data);

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_GEN2_REQUEST_H
