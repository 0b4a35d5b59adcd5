// What the tool's emulated reader holds, from the emulator's own model, so
// that the tests compare the tool's output with the tags themselves.
#ifndef VELKOR_TESTS_EMULATED_MODEL_H
#define VELKOR_TESTS_EMULATED_MODEL_H

#include <string>
#include <vector>

#include "app/base/hex.h"
#include "app/reader/emulated_reader.h"
#include "emulator/reader.h"

namespace velkor::test {

inline emu::Reader emulated_model(std::uint64_t seed = 1,
                                  std::size_t gen2_tags = app::kEmulatedGen2Tags) {
  return emu::Reader(app::emulated_reader(seed, gen2_tags));
}

/// The Gen2 EPCs in hex, in the order the reader reports them.
inline std::vector<std::string> emulated_epcs(std::uint64_t seed = 1,
                                              std::size_t gen2_tags = app::kEmulatedGen2Tags) {
  std::vector<std::string> epcs;
  for (const emu::Gen2Tag &tag : emulated_model(seed, gen2_tags).tags.gen2)
    epcs.push_back(app::to_hex(tag.epc()));
  return epcs;
}

/// The words of a Gen2 bank in hex, as `read` prints them.
inline std::string bank_words(const emu::Gen2Tag &tag, int bank, std::size_t from,
                              std::size_t count) {
  std::string text;
  for (std::size_t i = from; i < from + count; ++i) {
    const std::uint16_t w = tag.banks[std::size_t(bank)][i];
    const app::Bytes bytes = {static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w)};
    if (!text.empty()) text += ' ';
    text += app::to_hex(bytes);
  }
  return text;
}

}  // namespace velkor::test

#endif  // VELKOR_TESTS_EMULATED_MODEL_H
