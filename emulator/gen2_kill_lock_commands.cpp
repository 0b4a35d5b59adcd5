// Gen2 kill, lock and block lock of the emulated reader.
//
// Lock parameter bytes, in frame order: the field (0 kill password, 1 access
// password, 2 EPC bank, 3 TID bank, 4 user bank), then the action (0
// writable, 1 permanently writable, 2 writable with the access password only,
// 3 never writable).  The block-lock byte after the password is the number of
// the 8-word user-memory block to permalock.
#include "emulator/gen2_commands.h"

namespace velkor::emu {

void register_gen2_kill_lock_commands(CommandTable &table) {
  add_tag_command(table, 0x05, 0, fixed(4), [](Gen2Tag &tag, const TagRequest &req) {
    FieldReader in(req.fields);
    return kill(tag, in.u32()).response();
  });
  add_tag_command(table, 0x06, 0, fixed(6), [](Gen2Tag &tag, const TagRequest &req) {
    FieldReader in(req.fields);
    const std::uint8_t field = in.u8();
    const std::uint8_t action = in.u8();
    return lock(tag, field, action, in.u32()).response();
  });
  add_tag_command(table, 0x0E, 0, fixed(5), [](Gen2Tag &tag, const TagRequest &req) {
    FieldReader in(req.fields);
    const std::uint32_t password = in.u32();
    return block_lock(tag, in.u8(), password).response();
  });
}

}  // namespace velkor::emu
