#include "emulator/gen2_request.h"

#include <algorithm>

namespace velkor::emu {

namespace {

constexpr std::uint8_t kByMask = 0xFF;
constexpr std::uint8_t kMaxIdentifierWords = 31;

// Lengths of the inventory request's optional TID and trailing groups.
constexpr std::size_t kAfterMask[] = {0, 2, 3, 5};

bool optional_groups(std::size_t n) {
  return std::find(std::begin(kAfterMask), std::end(kAfterMask), n) != std::end(kAfterMask);
}

}  // namespace

std::uint8_t FieldReader::u8() {
  if (at_ >= bytes_.size()) {
    whole_ = false;
    return 0;
  }
  return bytes_[at_++];
}

std::uint16_t FieldReader::u16() {
  const std::uint8_t high = u8();
  return static_cast<std::uint16_t>((high << 8) | u8());
}

std::uint32_t FieldReader::u32() {
  const std::uint32_t high = u16();
  return (high << 16) | u16();
}

Bytes FieldReader::take(std::size_t n) {
  if (n > left()) {
    whole_ = false;
    at_ = bytes_.size();
    return {};
  }
  Bytes out(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
            bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
  at_ += n;
  return out;
}

std::optional<MaskFilter> read_mask(FieldReader &in) {
  MaskFilter mask;
  mask.bank = in.u8();
  mask.bit_address = in.u16();
  mask.bits = in.u8();
  mask.bytes = in.take(mask.bits / 8u + (mask.bits % 8u ? 1u : 0u));
  if (!in.whole()) return std::nullopt;
  return mask;
}

TagRequest parse_tag_request(const Bytes &data, std::size_t lead, const FieldSize &fields_size) {
  TagRequest request;
  FieldReader in(data);
  request.lead = in.take(lead);
  TagSelection &selection = request.selection;
  selection.words = in.u8();
  if (selection.words != kByMask && selection.words > kMaxIdentifierWords) {
    request.status = kStatusParameterError;
    return request;
  }
  if (selection.words != kByMask) selection.epc = in.take(2u * selection.words);
  request.fields = in.take(fields_size(request.lead));
  if (selection.words == kByMask) selection.mask = read_mask(in);
  if (!in.whole() || in.left() != 0 || (selection.words == kByMask && !selection.mask))
    request.status = kStatusLengthError;
  return request;
}

Gen2Tag *select_tag(Population &tags, const TagSelection &selection) {
  for (Gen2Tag &tag : tags.gen2) {
    if (!answers(tag)) continue;
    const bool named = selection.mask ? mask_matches(tag, *selection.mask)
                                      : selection.words == 0 || tag.epc() == selection.epc;
    if (named) return &tag;
  }
  return nullptr;
}

Gen2Tag *first_answering(Population &tags) {
  return select_tag(tags, TagSelection{});
}

InventoryRequestView parse_inventory_request(const Bytes &data) {
  InventoryRequestView view;
  std::size_t groups_at = 2;  // the table guarantees the two parameters
  if (data.size() >= 6) {
    FieldReader in(data);
    in.take(2);
    std::optional<MaskFilter> mask = read_mask(in);
    if (mask && mask->bank >= kEpcBank && mask->bank <= kUserBank &&
        optional_groups(in.left())) {
      view.mask = std::move(mask);
      groups_at = data.size() - in.left();
    }
  }
  const std::size_t left = data.size() - groups_at;
  if (!optional_groups(left)) {
    view.status = kStatusLengthError;
    return view;
  }
  // Two or five bytes after the mask: the TID group leads them.
  if (left == 2 || left == 5) view.tid = TidGroup{data[groups_at], data[groups_at + 1]};
  return view;
}

}  // namespace velkor::emu
