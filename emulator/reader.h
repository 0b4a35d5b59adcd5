// The emulated reader: its identity, settings and tag population, and the
// table of commands it understands.
#ifndef VELKOR_EMULATOR_READER_H
#define VELKOR_EMULATOR_READER_H

#include <array>
#include <cstdint>

#include "emulator/command.h"
#include "emulator/config_state.h"
#include "emulator/gen2_conditions.h"
#include "emulator/rng.h"
#include "emulator/settings.h"
#include "emulator/tag_buffer.h"
#include "emulator/tag_feed.h"
#include "emulator/tags.h"

namespace velkor::emu {

struct Identity {
  std::uint8_t address = 0x00;
  std::array<std::uint8_t, 2> firmware{0x03, 0x01};
  std::uint8_t reader_type = 0x09;
  std::uint8_t protocols = 0x03;  ///< bit 0: ISO 18000-6B, bit 1: EPC Gen2
  std::uint8_t comm_type = 0x00;
  std::array<std::uint8_t, 4> serial{};
  std::array<std::uint8_t, 2> module_version{0x01, 0x07};
};

/// Address that every reader answers besides its own.
constexpr std::uint8_t kBroadcastAddress = 0xFF;

struct ReaderOptions {
  std::uint64_t seed = 1;
  std::size_t gen2_tags = 5;
  std::size_t iso6b_tags = 2;
  /// Answer the parameter-set command as older firmware (42 bytes).
  bool short_system_parameters = false;
  /// Fresh Gen2 tags placed on the reader one at a time (tag_feed.h).
  std::size_t feed = 0;
};

class Reader {
 public:
  explicit Reader(const ReaderOptions &options = {});

  /// Whether a frame sent to this address is for this reader.
  bool addressed(std::uint8_t address) const {
    return address == identity.address || address == kBroadcastAddress;
  }

  /// The reader's answer to an accepted command.
  Response handle(const Command &command) { return commands.dispatch(*this, command); }

  /// The 12 data bytes of the information block.
  Bytes information_block() const;

  Identity identity;
  Settings settings;
  Configuration config;
  Population tags;
  Gen2Conditions gen2;
  TagBuffer buffer;  ///< filled by buffered inventories
  TagFeed feed;      ///< tags still to be placed on the reader
  Rng rng;
  CommandTable commands;
  bool keyboard_mode = false;  ///< set by the switch-to-keyboard control report
};

/// Command families, each registering its commands in the table.
void register_identity_commands(CommandTable &table);
void register_gen2_commands(CommandTable &table);
void register_iso6b_commands(CommandTable &table);
void register_buffer_commands(CommandTable &table);
void register_config_commands(CommandTable &table);

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_READER_H
