// Shared pieces of the emulated reader's configuration commands.  Most of
// them store a few bytes, each within a range, or answer a few stored bytes;
// the families list theirs in tables of the shapes below.
#ifndef VELKOR_EMULATOR_CONFIG_COMMANDS_H
#define VELKOR_EMULATOR_CONFIG_COMMANDS_H

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "emulator/reader.h"

namespace velkor::emu {

/// The values a request byte may take.
struct Range {
  std::uint8_t lowest = 0x00;
  std::uint8_t highest = 0xFF;
};
inline constexpr Range kAnyByte{};

/// A command whose request bytes are stored, in order, at a place of the
/// reader; one range per byte.  Any byte out of range refuses the whole
/// request with status 0xFF.
struct Setter {
  std::uint8_t code;
  std::vector<Range> ranges;
  std::uint8_t *(*place)(Reader &);
};

/// A command without request data that answers `size` stored bytes.
struct Getter {
  std::uint8_t code;
  std::size_t size;
  const std::uint8_t *(*place)(const Reader &);
};

void add_setters(CommandTable &table, std::initializer_list<Setter> setters);
void add_getters(CommandTable &table, std::initializer_list<Getter> getters);

/// Whether every request byte lies in its range.
bool within(const Bytes &data, const std::vector<Range> &ranges);

void register_region_commands(CommandTable &table);
void register_rf_commands(CommandTable &table);
void register_work_mode_commands(CommandTable &table);
void register_io_commands(CommandTable &table);
void register_keyboard_commands(CommandTable &table);

// Commands 0x60 and 0x61 serve two families, told apart by the data length.
Response set_test_frequency(Reader &reader, const Command &command);
Response get_ad_value(Reader &reader, const Command &command);
Response set_work_time(Reader &reader, const Command &command);
Response get_work_time(Reader &reader, const Command &command);

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_CONFIG_COMMANDS_H
