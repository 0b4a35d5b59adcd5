// The reader-side tag buffer of the emulated reader: inventory into it, read
// it back as a run of frames, count it, clear it, and its save length.
#include <algorithm>
#include <optional>

#include "emulator/reader.h"

namespace velkor::emu {

namespace {

// Statuses of the buffer read: more frames follow, or this is the last one.
constexpr std::uint8_t kMoreFrames = 0x03;
constexpr std::uint8_t kLastFrame = 0x01;
// Data bytes of one reply frame (length byte at most 255).
constexpr std::size_t kFrameData = 250;

// Request data of a buffered inventory: two parameter bytes, then optional
// mask (4 + n bytes), TID (2) and trailing (3) groups.
constexpr std::size_t kParamBytes = 2;
constexpr std::size_t kMaskHead = 4;
constexpr std::size_t kLongestRequest = kParamBytes + kMaskHead + 32 + 2 + 3;

struct Selection {
  std::uint8_t bank;
  std::size_t bit_address;
  std::size_t bits;
  Bytes mask;
};

// The request does not say which groups it carries, only its length.  A mask
// group is read when its bank names a readable bank and the bytes after it
// leave room for exactly the TID and/or trailing groups; otherwise the
// request carries none.  (Seven data bytes fit both a lone one-byte mask and
// TID plus trailing groups; the bank and length bytes decide.)  The
// parameter, TID and trailing bytes do not change what the emulated reader
// finds.
std::optional<Selection> selection_of(const Bytes &data) {
  if (data.size() < kParamBytes + kMaskHead) return std::nullopt;
  const std::uint8_t bank = data[2];
  const std::size_t bits = data[5];
  const std::size_t n = bits / 8 + (bits % 8 ? 1 : 0);
  if (bank < kEpcBank || bank > kUserBank) return std::nullopt;
  if (data.size() < kParamBytes + kMaskHead + n) return std::nullopt;
  const std::size_t rest = data.size() - kParamBytes - kMaskHead - n;
  if (rest != 0 && rest != 2 && rest != 3 && rest != 5) return std::nullopt;
  const auto first = data.begin() + static_cast<std::ptrdiff_t>(kParamBytes + kMaskHead);
  // The bit address travels most significant byte first.
  return Selection{bank, std::size_t{data[3]} << 8 | data[4], bits,
                   Bytes(first, first + static_cast<std::ptrdiff_t>(n))};
}

// Bit i of a bank, counted from the most significant bit of its first word.
std::optional<bool> bank_bit(const std::vector<std::uint16_t> &bank, std::size_t i) {
  if (i / 16 >= bank.size()) return std::nullopt;
  return (bank[i / 16] >> (15 - i % 16)) & 1u;
}

bool matches(const Gen2Tag &tag, const Selection &s) {
  for (std::size_t i = 0; i < s.bits; ++i) {
    const std::optional<bool> bit = bank_bit(tag.banks[s.bank], s.bit_address + i);
    const bool wanted = (s.mask[i / 8] >> (7 - i % 8)) & 1u;
    if (!bit || *bit != wanted) return false;
  }
  return true;
}

Bytes be16(std::size_t value) {
  return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

// Every live tag (neither killed nor hidden by privacy) that the selection
// names goes into the buffer once.  The
// reply: tags now in the buffer, then tags seen this round, each a 16-bit
// number high byte first.
Response inventory_into_buffer(Reader &r, const Command &c) {
  const std::optional<Selection> selection = selection_of(c.data);
  std::size_t seen = 0;
  for (const Gen2Tag &tag : r.tags.gen2) {
    if (tag.killed || tag.privacy) continue;
    if (selection && !matches(tag, *selection)) continue;
    ++seen;
    r.buffer.add(tag.epc());
  }
  Bytes data = be16(r.buffer.epcs.size());
  const Bytes seen_bytes = be16(seen);
  data.insert(data.end(), seen_bytes.begin(), seen_bytes.end());
  return Response::ok(std::move(data));
}

// The buffer as a run of frames: each carries its tag count, then per tag
// the EPC length in bytes and the EPC.  Every frame but the last says more
// follow.  An empty buffer is one last frame without data.
Response read_buffer(Reader &r, const Command &) {
  Response response;
  ReplyFrame frame{kMoreFrames, {0}};
  for (const Bytes &epc : r.buffer.epcs) {
    if (frame.data.size() + 1 + epc.size() > kFrameData) {
      response.frames.push_back(frame);
      frame = {kMoreFrames, {0}};
    }
    ++frame.data[0];
    frame.data.push_back(static_cast<std::uint8_t>(epc.size()));
    frame.data.insert(frame.data.end(), epc.begin(), epc.end());
  }
  if (frame.data[0] == 0) frame.data.clear();
  frame.status = kLastFrame;
  response.frames.push_back(frame);
  return response;
}

}  // namespace

void register_buffer_commands(CommandTable &table) {
  table.add(0x18, kParamBytes, kLongestRequest, inventory_into_buffer);
  table.add(0x72, 0, read_buffer);
  table.add(0x74, 0, [](Reader &r, const Command &) {
    return Response::ok(be16(r.buffer.epcs.size()));
  });
  table.add(0x73, 0, [](Reader &r, const Command &) {
    r.buffer.epcs.clear();
    return Response::ok();
  });
  table.add(0x70, 1, [](Reader &r, const Command &c) {
    if (c.data[0] < TagBuffer::kMinSaveLength || c.data[0] > TagBuffer::kMaxSaveLength)
      return Response::status(kStatusParameterError);
    r.buffer.save_length = c.data[0];
    return Response::ok();
  });
  table.add(0x71, 0, [](Reader &r, const Command &) {
    return Response::ok({r.buffer.save_length});
  });
}

}  // namespace velkor::emu
