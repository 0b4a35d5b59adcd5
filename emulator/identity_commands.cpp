// Identity and link commands of the emulated reader.
#include "emulator/reader.h"

namespace velkor::emu {

void register_identity_commands(CommandTable &table) {
  table.add(0x21, 0, [](Reader &r, const Command &) {
    return Response::ok(r.information_block());
  });
  table.add(0x24, 1, [](Reader &r, const Command &c) {
    if (c.data[0] == kBroadcastAddress) return Response::status(kStatusParameterError);
    r.identity.address = c.data[0];  // the reply already comes from the new address
    return Response::ok();
  });
  table.add(0x6A, 1, [](Reader &r, const Command &c) {
    if (c.data[0] > 0x03) return Response::status(kStatusParameterError);
    r.identity.comm_type = c.data[0];
    return Response::ok();
  });
  table.add(0x4B, 6, [](Reader &r, const Command &c) {
    if (c.data[0] != 0x4E || c.data[1] != 0x37)  // the reader's write guard
      return Response::status(kStatusParameterError);
    std::copy(c.data.begin() + 2, c.data.end(), r.identity.serial.begin());
    return Response::ok();
  });
  table.add(0x4C, 0, [](Reader &r, const Command &) {
    return Response::ok(Bytes(r.identity.serial.begin(), r.identity.serial.end()));
  });
  table.add(0x83, 0, [](Reader &r, const Command &) {
    return Response::ok(
        Bytes(r.identity.module_version.begin(), r.identity.module_version.end()));
  });
}

}  // namespace velkor::emu
