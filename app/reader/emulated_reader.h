// The reader that --emulate plays: the emulator with the tool's default tag
// population.  The tool's tests build the same model to know what it holds.
#ifndef VELKOR_APP_READER_EMULATED_READER_H
#define VELKOR_APP_READER_EMULATED_READER_H

#include <cstddef>
#include <cstdint>

#include "emulator/reader.h"

namespace velkor::app {

/// Tags the emulated reader starts with.
constexpr std::size_t kEmulatedGen2Tags = 6;
constexpr std::size_t kEmulatedIso6bTags = 2;

inline emu::ReaderOptions emulated_reader(std::uint64_t seed,
                                          std::size_t gen2_tags = kEmulatedGen2Tags,
                                          std::size_t iso6b_tags = kEmulatedIso6bTags,
                                          std::size_t feed = 0) {
  emu::ReaderOptions options{seed, gen2_tags, iso6b_tags};
  options.feed = feed;
  return options;
}

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_EMULATED_READER_H
