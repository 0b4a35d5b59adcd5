// The Gen2 command families of the emulated reader, and how a command that
// works on one tag is put together.
#ifndef VELKOR_EMULATOR_GEN2_COMMANDS_H
#define VELKOR_EMULATOR_GEN2_COMMANDS_H

#include <cstddef>
#include <cstdint>
#include <functional>

#include "emulator/gen2_request.h"
#include "emulator/reader.h"

namespace velkor::emu {

/// Bytes of an access or kill password in a request.
constexpr std::size_t kPasswordSize = 4;

void register_gen2_inventory_commands(CommandTable &table);
void register_gen2_memory_commands(CommandTable &table);
void register_gen2_kill_lock_commands(CommandTable &table);
void register_gen2_feature_commands(CommandTable &table);

/// What a command does to the tag it works on.
using TagOperation = std::function<Response(Gen2Tag &)>;

/// Runs op on tag: 0xFB (no tag) without one, 0xFC with the forced tag error
/// while one is set.
Response on_tag(Reader &reader, Gen2Tag *tag, const TagOperation &op);

/// What a tag-addressed command does, given its request taken apart.
using TagHandler = std::function<Response(Gen2Tag &, const TagRequest &)>;

/// Registers a command that names its tag (see parse_tag_request): `lead`
/// bytes ahead of E and fields of fields_size(lead) bytes.  A request that
/// cannot be taken apart gets its status; then the tag is selected and
/// handled as on_tag says.
void add_tag_command(CommandTable &table, std::uint8_t code, std::size_t lead,
                     FieldSize fields_size, TagHandler handler);

/// Fields of a fixed size.
inline FieldSize fixed(std::size_t n) {
  return [n](const Bytes &) { return n; };
}

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_GEN2_COMMANDS_H
