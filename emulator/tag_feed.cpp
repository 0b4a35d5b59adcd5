#include "emulator/tag_feed.h"

namespace velkor::emu {

namespace {
// PC and stored CRC, then 16 words of EPC memory.
constexpr std::size_t kFedEpcBankWords = 2 + 16;
}  // namespace

void TagFeed::add(Rng &rng, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    Gen2Tag tag = make_gen2_tag(rng);
    tag.banks[kEpcBank].resize(kFedEpcBankWords, 0);
    waiting.push_back(std::move(tag));
  }
}

void TagFeed::advance(Population &tags) {
  if (waiting.empty()) return;
  // A population replaced under the feed (a loaded state) starts it afresh.
  const bool on_reader = placed && *placed < tags.gen2.size();
  if (on_reader && tags.gen2[*placed].epc() == placed_epc) return;
  tags.gen2.push_back(std::move(waiting.front()));
  waiting.pop_front();
  placed = tags.gen2.size() - 1;
  placed_epc = tags.gen2.back().epc();
}

}  // namespace velkor::emu
