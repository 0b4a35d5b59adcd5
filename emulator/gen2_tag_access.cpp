#include "emulator/gen2_tag_access.h"

namespace velkor::emu {

namespace {

constexpr std::size_t kBankCount = 4;
// Reserved-bank words 0-1 hold the kill password, 2-3 the access password.
constexpr std::size_t kAccessPasswordWord = 2;

LockField field_of(std::uint8_t bank, std::size_t word) {
  switch (bank) {
    case kReserved: return word < kAccessPasswordWord ? kKillPasswordLock : kAccessPasswordLock;
    case kEpcBank: return kEpcLock;
    case kTidBank: return kTidLock;
    default: return kUserLock;
  }
}

bool is_password_field(LockField field) {
  return field == kKillPasswordLock || field == kAccessPasswordLock;
}

// A locked field opens only to the tag's own, non-zero access password.
bool unlocks(const Gen2Tag &tag, std::uint32_t password) {
  return tag.access_password() != 0 && password == tag.access_password();
}

bool may_write(const Gen2Tag &tag, LockField field, std::uint32_t password) {
  switch (tag.lock[field]) {
    case LockState::kOpen:
    case LockState::kPermaOpen: return true;
    case LockState::kLocked: return unlocks(tag, password);
    case LockState::kPermaLocked: return false;
  }
  return false;
}

bool may_read(const Gen2Tag &tag, LockField field, std::uint32_t password) {
  return !is_password_field(field) || may_write(tag, field, password);
}

bool block_permalocked(const Gen2Tag &tag, std::uint8_t bank, std::size_t word) {
  return bank == kUserBank && word / kBlockWords < 32 &&
         (tag.permalocked_blocks >> (word / kBlockWords)) & 1u;
}

// Bank and range checks shared by every memory access.
TagResult check_range(const Gen2Tag &tag, std::uint8_t bank, std::size_t pointer,
                      std::size_t count) {
  if (bank >= kBankCount || count == 0) return TagResult::refused(kStatusParameterError);
  if (pointer + count > tag.banks[bank].size())
    return TagResult::tag_error(kTagErrorMemoryOverrun);
  return TagResult::done();
}

TagResult check_writable(const Gen2Tag &tag, std::uint8_t bank, std::size_t pointer,
                         std::size_t count, std::uint32_t password) {
  const TagResult range = check_range(tag, bank, pointer, count);
  if (!range.ok()) return range;
  for (std::size_t w = pointer; w < pointer + count; ++w)
    if (!may_write(tag, field_of(bank, w), password) || block_permalocked(tag, bank, w))
      return TagResult::tag_error(kTagErrorMemoryLocked);
  return TagResult::done();
}

// The tag recomputes its stored CRC whenever PC or EPC change.
void store_words(Gen2Tag &tag, std::uint8_t bank, std::size_t pointer,
                 const std::vector<std::uint16_t> &words) {
  for (std::size_t i = 0; i < words.size(); ++i) tag.banks[bank][pointer + i] = words[i];
  if (bank == kEpcBank && pointer > 0) tag.update_stored_crc();
}

LockState state_of(std::uint8_t action) {
  switch (action) {
    case 0: return LockState::kOpen;
    case 1: return LockState::kPermaOpen;
    case 2: return LockState::kLocked;
    default: return LockState::kPermaLocked;
  }
}

bool permanent(LockState s) {
  return s == LockState::kPermaOpen || s == LockState::kPermaLocked;
}

}  // namespace

Response TagResult::response(Bytes data) const {
  if (ok()) return Response::ok(std::move(data));
  if (status == kStatusTagError) return Response::status(kStatusTagError, {error});
  return Response::status(status);
}

bool answers(const Gen2Tag &tag) { return !tag.killed && !tag.privacy; }

bool mask_matches(const Gen2Tag &tag, const MaskFilter &mask) {
  if (mask.bank >= kBankCount || mask.bytes.size() * 8 < mask.bits) return false;
  const auto &words = tag.banks[mask.bank];
  if (std::size_t{mask.bit_address} + mask.bits > 16 * words.size()) return false;
  for (std::size_t i = 0; i < mask.bits; ++i) {
    const std::size_t bit = mask.bit_address + i;
    const bool tag_bit = (words[bit / 16] >> (15 - bit % 16)) & 1u;
    const bool mask_bit = (mask.bytes[i / 8] >> (7 - i % 8)) & 1u;
    if (tag_bit != mask_bit) return false;
  }
  return true;
}

bool secured(const Gen2Tag &tag, std::uint32_t password) {
  return tag.access_password() == 0 || password == tag.access_password();
}

TagResult read_words(const Gen2Tag &tag, std::uint8_t bank, std::size_t pointer,
                     std::size_t count, std::uint32_t password, Bytes &out) {
  const TagResult range = check_range(tag, bank, pointer, count);
  if (!range.ok()) return range;
  for (std::size_t w = pointer; w < pointer + count; ++w)
    if (!may_read(tag, field_of(bank, w), password))
      return TagResult::tag_error(kTagErrorMemoryLocked);
  for (std::size_t w = pointer; w < pointer + count; ++w) {
    out.push_back(static_cast<std::uint8_t>(tag.banks[bank][w] >> 8));
    out.push_back(static_cast<std::uint8_t>(tag.banks[bank][w]));
  }
  return TagResult::done();
}

TagResult write_words(Gen2Tag &tag, std::uint8_t bank, std::size_t pointer,
                      const Bytes &bytes, std::uint32_t password) {
  const TagResult allowed = check_writable(tag, bank, pointer, bytes.size() / 2, password);
  if (!allowed.ok()) return allowed;
  std::vector<std::uint16_t> words;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    words.push_back(static_cast<std::uint16_t>((bytes[i] << 8) | bytes[i + 1]));
  store_words(tag, bank, pointer, words);
  return TagResult::done();
}

TagResult erase_words(Gen2Tag &tag, std::uint8_t bank, std::size_t pointer,
                      std::size_t count, std::uint32_t password) {
  const TagResult allowed = check_writable(tag, bank, pointer, count, password);
  if (!allowed.ok()) return allowed;
  store_words(tag, bank, pointer, std::vector<std::uint16_t>(count, 0));
  return TagResult::done();
}

TagResult write_epc(Gen2Tag &tag, const Bytes &epc, std::uint32_t password) {
  if (!may_write(tag, kEpcLock, password)) return TagResult::tag_error(kTagErrorMemoryLocked);
  tag.set_epc(epc);
  return TagResult::done();
}

TagResult lock(Gen2Tag &tag, std::uint8_t field, std::uint8_t action,
               std::uint32_t password) {
  if (field >= kLockFieldCount || action > 3) return TagResult::refused(kStatusParameterError);
  if (!secured(tag, password)) return TagResult::tag_error(kTagErrorMemoryLocked);
  LockState &state = tag.lock[field];
  const LockState wanted = state_of(action);
  if (permanent(state) && state != wanted) return TagResult::tag_error(kTagErrorMemoryLocked);
  state = wanted;
  return TagResult::done();
}

TagResult block_lock(Gen2Tag &tag, std::uint8_t block, std::uint32_t password) {
  const std::size_t user_words = tag.banks[kUserBank].size();
  if (std::size_t{block} * kBlockWords >= user_words || block >= 32)
    return TagResult::tag_error(kTagErrorMemoryOverrun);
  if (!secured(tag, password)) return TagResult::tag_error(kTagErrorMemoryLocked);
  tag.permalocked_blocks |= 1u << block;
  return TagResult::done();
}

TagResult kill(Gen2Tag &tag, std::uint32_t kill_password) {
  if (tag.kill_password() == 0 || kill_password != tag.kill_password())
    return TagResult::tag_error(kTagErrorOther);
  tag.killed = true;
  return TagResult::done();
}

}  // namespace velkor::emu
