// Conditions of the emulated reader's Gen2 air interface that tests set to
// reach behaviour a healthy population never shows.
#ifndef VELKOR_EMULATOR_GEN2_CONDITIONS_H
#define VELKOR_EMULATOR_GEN2_CONDITIONS_H

#include <cstddef>
#include <cstdint>
#include <optional>

namespace velkor::emu {

struct Gen2Conditions {
  /// While set, every access to a selected tag fails with status 0xFC and
  /// this tag error code (e.g. 0x0B insufficient power, 0x0F non-specific).
  std::optional<std::uint8_t> tag_error;
  /// Tag records per inventory reply frame, so that a modest population
  /// already answers with several frames.
  std::size_t tags_per_frame = 4;
  /// Where the next inventory round starts in the population, after a round
  /// that could not report every tag.
  std::size_t next_round_from = 0;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_GEN2_CONDITIONS_H
