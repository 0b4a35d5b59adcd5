// The reader-side tag buffer of the emulated reader: inventory into it, read
// it back as a run of frames, count it, clear it, and its save length.
#include "emulator/gen2_request.h"
#include "emulator/reader.h"

namespace velkor::emu {

namespace {

// Statuses of the buffer read: more frames follow, or this is the last one.
constexpr std::uint8_t kMoreFrames = 0x03;
constexpr std::uint8_t kLastFrame = 0x01;
// Data bytes of one reply frame (length byte at most 255).
constexpr std::size_t kFrameData = 250;

// Request data of a buffered inventory: as a Gen2 inventory's, two
// parameter bytes and then the optional mask, TID and trailing groups.
constexpr std::size_t kParamBytes = 2;
constexpr std::size_t kLongestRequest = kParamBytes + 4 + 32 + 2 + 3;

Bytes be16(std::size_t value) {
  return {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

// Every tag that answers (neither killed nor hidden by privacy) and that the
// mask names goes into the buffer once, read by the Gen2 inventory's rules.
// The reply: tags now in the buffer, then tags seen this round, each a
// 16-bit number high byte first.
Response inventory_into_buffer(Reader &r, const Command &c) {
  const InventoryRequestView request = parse_inventory_request(c.data);
  if (request.status != kStatusOk) return Response::status(request.status);
  std::size_t seen = 0;
  for (const Gen2Tag &tag : r.tags.gen2) {
    if (!answers(tag)) continue;
    if (request.mask && !mask_matches(tag, *request.mask)) continue;
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
