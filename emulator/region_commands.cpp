// Region and channel range (0x22).  The two bytes carry a 4-bit region code
// (bits 7-6 of each byte) and the highest and lowest channel index (bits
// 5-0).  This reader knows region codes 1 to 4, with 20, 50, 32 and 15
// channels; the host reaches its fifth plan through code 2, indexes 26 to 44.
// A range must satisfy lowest <= highest < the region's channel count.
#include "emulator/config_commands.h"

namespace velkor::emu {

namespace {

constexpr unsigned kChannels[] = {0, 20, 50, 32, 15};

bool valid_region(std::uint8_t first, std::uint8_t second) {
  const unsigned region = ((first >> 6) << 2) | (second >> 6);
  const unsigned highest = first & 0x3Fu, lowest = second & 0x3Fu;
  return region >= 1 && region < std::size(kChannels) && lowest <= highest &&
         highest < kChannels[region];
}

}  // namespace

void register_region_commands(CommandTable &table) {
  table.add(0x22, 2, [](Reader &r, const Command &c) {
    if (!valid_region(c.data[0], c.data[1])) return Response::status(kStatusParameterError);
    r.settings.region_high = c.data[0];
    r.settings.region_low = c.data[1];
    return Response::ok();
  });
}

}  // namespace velkor::emu
