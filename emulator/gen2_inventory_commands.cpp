// Gen2 inventories of the emulated reader.
//
// The full (0x01) and fast (0x00) inventories answer with a run of frames:
// every frame but the last has status 0x03 (more to come), the last 0x01.
// Each frame's data is the antenna, the number of tags in the frame, then per
// tag one byte of EPC length and the EPC.  At most tags_per_frame tags go in
// a frame, and no frame exceeds 255 bytes.  With no tag to report the answer
// is one frame with status 0xFB, antenna and a count of 0.  Killed tags and
// tags in privacy do not answer; a mask group lets only matching tags answer.
// With the TID group (word pointer, word count) of the full inventory, each
// tag's EPC record is followed by a record of its TID words from the pointer
// (one length byte, then as many of those words as the tag has, at most 60).  The
// trailing group is accepted and changes nothing.
//
// A round's frames hold at most kMostRoundBytes, as a real reader singulates
// only so many tags in one round: with more tags than that in the field, the
// next round starts with the first tag left out, so that every tag is read
// within a few rounds.
//
// Each inventory first lets the tag feed place its next tag (tag_feed.h).
//
// The single-tag inventory (0x0F) answers with status 0x01 and the antenna
// and record of the first tag that answers, or 0xFB.
#include <algorithm>

#include "emulator/gen2_commands.h"

namespace velkor::emu {

namespace {

constexpr std::uint8_t kFinal = 0x01;
constexpr std::uint8_t kMore = 0x03;
constexpr std::size_t kFastRequestSize = 5;
// Frame bytes besides the data (length, address, echo, status, CRC), and the
// frame's own two data bytes ahead of the records.
constexpr std::size_t kFrameOverhead = 6;
constexpr std::size_t kFrameHead = 2;
constexpr std::size_t kMaxFrame = 255;
constexpr std::size_t kMostRoundBytes = 6000;
constexpr std::size_t kMaxInventoryRequest = 2 + 4 + 32 + 2 + 3;
// So that an EPC and TID record always fit one frame.
constexpr std::size_t kMostTidWords = 60;

Bytes record(const Gen2Tag &tag) {
  Bytes r = tag.epc();
  r.insert(r.begin(), static_cast<std::uint8_t>(r.size()));
  return r;
}

// The TID words asked for, as a record like the EPC's.
Bytes tid_record(const Gen2Tag &tag, const TidGroup &group) {
  const std::vector<std::uint16_t> &tid = tag.banks[kTidBank];
  Bytes r{0};
  const std::size_t end =
      std::min(tid.size(), std::size_t(group.word_pointer) + std::min<std::size_t>(group.words, kMostTidWords));
  for (std::size_t w = group.word_pointer; w < end; ++w) {
    r.push_back(static_cast<std::uint8_t>(tid[w] >> 8));
    r.push_back(static_cast<std::uint8_t>(tid[w]));
  }
  r[0] = static_cast<std::uint8_t>(r.size() - 1);
  return r;
}

Response inventory(Reader &r, const std::optional<MaskFilter> &mask,
                   const std::optional<TidGroup> &tid = std::nullopt) {
  r.feed.advance(r.tags);
  const std::uint8_t antenna = r.settings.antenna;
  const std::size_t per_frame = std::max<std::size_t>(r.gen2.tags_per_frame, 1);
  Response response;
  std::size_t round_bytes = 0;
  auto open_frame = [&] {
    response.frames.push_back({kMore, {antenna, 0}});
    round_bytes += kFrameOverhead + kFrameHead;
  };
  const std::vector<Gen2Tag> &tags = r.tags.gen2;
  std::size_t &from = r.gen2.next_round_from;
  if (from >= tags.size()) from = 0;
  const std::size_t first = from;
  from = 0;
  for (std::size_t n = 0; n < tags.size(); ++n) {
    const std::size_t at = (first + n) % tags.size();
    const Gen2Tag &tag = tags[at];
    if (!answers(tag) || (mask && !mask_matches(tag, *mask))) continue;
    Bytes rec = record(tag);
    if (tid) {
      const Bytes more = tid_record(tag, *tid);
      rec.insert(rec.end(), more.begin(), more.end());
    }
    const bool new_frame = response.frames.empty() || response.frames.back().data[1] == per_frame ||
                           response.frames.back().data.size() + rec.size() + kFrameOverhead > kMaxFrame;
    if (round_bytes + rec.size() + (new_frame ? kFrameOverhead + kFrameHead : 0) > kMostRoundBytes) {
      from = at;  // the rest in the next round
      break;
    }
    if (new_frame) open_frame();
    ReplyFrame &frame = response.frames.back();
    frame.data.insert(frame.data.end(), rec.begin(), rec.end());
    round_bytes += rec.size();
    ++frame.data[1];
  }
  if (response.frames.empty()) return Response::status(kStatusNoTag, {antenna, 0});
  response.frames.back().status = kFinal;
  return response;
}

}  // namespace

void register_gen2_inventory_commands(CommandTable &table) {
  table.add(0x01, kFrameHead, kMaxInventoryRequest, [](Reader &r, const Command &c) {
    const InventoryRequestView request = parse_inventory_request(c.data);
    if (request.status != kStatusOk) return Response::status(request.status);
    return inventory(r, request.mask, request.tid);
  });
  table.add(0x00, kFastRequestSize,
            [](Reader &r, const Command &) { return inventory(r, std::nullopt); });
  table.add(0x0F, 0, [](Reader &r, const Command &) {
    r.feed.advance(r.tags);
    const Gen2Tag *tag = first_answering(r.tags);
    if (tag == nullptr) return Response::status(kStatusNoTag);
    Bytes data = record(*tag);
    data.insert(data.begin(), r.settings.antenna);
    return Response::status(kFinal, data);
  });
}

}  // namespace velkor::emu
