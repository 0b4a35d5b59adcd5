// ISO 18000-6B commands of the emulated reader: inventories, byte reads and
// writes, byte locks.  Tag errors use the same codes as Gen2 tags (memory
// overrun, memory locked); a command naming a tag not in the field gets
// status 0xFB.
#include <algorithm>
#include <initializer_list>
#include <optional>

#include "emulator/reader.h"

namespace velkor::emu {

namespace {

constexpr std::size_t kIdSize = 8;
// A single inventory reports the first ten memory bytes: the identifier and
// the two manufacturer bytes after it.
constexpr std::size_t kSingleRecord = 10;
// Tag identifiers one reply frame can carry (250 data bytes less two).
constexpr std::size_t kMostPerFrame = 31;

// Group-select conditions: the masked bytes of memory compared with the word
// data, byte by byte from the start address as one big-endian number.
enum Condition : std::uint8_t { kEqual = 0, kNotEqual = 1, kGreater = 2, kLess = 3 };

Bytes antenna_and(Reader &r, std::initializer_list<std::uint8_t> more = {}) {
  // Sized once and filled in place: GCC 12 at -O3 misreads an insert into a
  // one-byte vector as an out-of-bounds copy (-Warray-bounds).
  Bytes data(1 + more.size());
  data[0] = r.settings.antenna;
  std::copy(more.begin(), more.end(), data.begin() + 1);
  return data;
}

// -1, 0 or 1 as the masked memory bytes compare with the word data; nullopt
// when a masked byte lies past the memory.  Mask bit 7 stands for the byte at
// the start address.
std::optional<int> compare(const Iso6bTag &tag, std::size_t start, std::uint8_t mask,
                           const std::uint8_t *word) {
  for (std::size_t i = 0; i < kIdSize; ++i) {
    if (!((mask >> (7 - i)) & 1u)) continue;
    if (start + i >= Iso6bTag::kMemorySize) return std::nullopt;
    const std::uint8_t have = tag.memory[start + i];
    if (have != word[i]) return have < word[i] ? -1 : 1;
  }
  return 0;
}

bool selected(std::uint8_t condition, int order) {
  switch (condition) {
    case kEqual: return order == 0;
    case kNotEqual: return order != 0;
    case kGreater: return order > 0;
    default: return order < 0;  // kLess
  }
}

Response inventory_multiple(Reader &r, const Command &c) {
  const std::uint8_t condition = c.data[0];
  if (condition > kLess) return Response::status(kStatusParameterError);
  Bytes list;
  std::uint8_t count = 0;
  for (const Iso6bTag &tag : r.tags.iso6b) {
    const std::optional<int> order = compare(tag, c.data[1], c.data[2], &c.data[3]);
    if (!order || !selected(condition, *order) || count == kMostPerFrame) continue;
    ++count;
    list.insert(list.end(), tag.id.begin(), tag.id.end());
  }
  Bytes data = antenna_and(r, {count});
  data.insert(data.end(), list.begin(), list.end());
  return Response::ok(std::move(data));
}

// The tag a memory command names by the identifier at request byte 1.
Iso6bTag *addressed_tag(Reader &r, const Command &c) {
  const auto named = c.data.begin() + 1;
  for (Iso6bTag &tag : r.tags.iso6b)
    if (std::equal(tag.id.begin(), tag.id.end(), named)) return &tag;
  return nullptr;
}

Response tag_error(std::uint8_t code) { return Response::status(kStatusTagError, {code}); }

bool in_memory(std::size_t start, std::size_t n) {
  return start + n <= Iso6bTag::kMemorySize;
}

// The memory commands share one shape: find the tag, then act on it.
template <typename Act>
Handler on_tag(Act act) {
  return [act](Reader &r, const Command &c) {
    Iso6bTag *tag = addressed_tag(r, c);
    if (tag == nullptr) return Response::status(kStatusNoTag);
    return act(*tag, c);
  };
}

Response read_data(Iso6bTag &tag, const Command &c) {
  const std::size_t start = c.data[0], n = c.data[9];
  if (!in_memory(start, n)) return tag_error(kTagErrorMemoryOverrun);
  const auto first = tag.memory.begin() + static_cast<std::ptrdiff_t>(start);
  return Response::ok(Bytes(first, first + static_cast<std::ptrdiff_t>(n)));
}

// All or nothing: a write touching a locked byte changes no byte.
Response write_data(Iso6bTag &tag, const Command &c) {
  const std::size_t start = c.data[0], n = c.data.size() - 1 - kIdSize;
  if (!in_memory(start, n)) return tag_error(kTagErrorMemoryOverrun);
  for (std::size_t i = 0; i < n; ++i)
    if (tag.locked.test(start + i)) return tag_error(kTagErrorMemoryLocked);
  std::copy(c.data.begin() + 1 + kIdSize, c.data.end(),
            tag.memory.begin() + static_cast<std::ptrdiff_t>(start));
  return Response::ok();
}

Response check_lock(Iso6bTag &tag, const Command &c) {
  if (!in_memory(c.data[0], 1)) return tag_error(kTagErrorMemoryOverrun);
  return Response::ok({static_cast<std::uint8_t>(tag.locked.test(c.data[0]))});
}

// Locking is permanent; locking a locked byte again is no error.
Response lock_byte(Iso6bTag &tag, const Command &c) {
  if (!in_memory(c.data[0], 1)) return tag_error(kTagErrorMemoryOverrun);
  tag.locked.set(c.data[0]);
  return Response::ok();
}

}  // namespace

void register_iso6b_commands(CommandTable &table) {
  table.add(0x50, 0, [](Reader &r, const Command &) {
    if (r.tags.iso6b.empty()) return Response::status(kStatusNoTag);
    const Iso6bTag &tag = r.tags.iso6b.front();
    Bytes data = antenna_and(r);
    data.insert(data.end(), tag.memory.begin(),
                tag.memory.begin() + static_cast<std::ptrdiff_t>(kSingleRecord));
    return Response::ok(std::move(data));
  });
  table.add(0x51, 3 + kIdSize, inventory_multiple);
  table.add(0x52, 2 + kIdSize, on_tag(read_data));
  table.add(0x53, 1 + kIdSize, 1 + kIdSize + 255, on_tag(write_data));
  table.add(0x54, 1 + kIdSize, on_tag(check_lock));
  table.add(0x55, 1 + kIdSize, on_tag(lock_byte));
}

}  // namespace velkor::emu
