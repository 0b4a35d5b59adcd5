// Frequency region and channel range (command 0x22).
#include "protocol/byte_command.h"
#include "config/channel_plan.h"

using namespace velkor;

namespace {

struct RegionBytes {
  std::uint8_t first;   ///< region bits 3-2, highest channel index
  std::uint8_t second;  ///< region bits 1-0, lowest channel index
};

// The region field has four bits; the channel indexes six.  Region 5 does
// not travel as 5: the reader takes it as region 2's bits with both indexes
// raised by 26, wrapping within six bits.  Only the value 5 itself is packed
// that way (21, whose low four bits are also 5, takes the ordinary rule).
RegionBytes pack(int region, unsigned lowest, unsigned highest) {
  if (region == kFixedRegion)
    return {static_cast<std::uint8_t>((highest + 26) & 0x3F),
            static_cast<std::uint8_t>(((lowest + 26) & 0x3F) | 0x80)};
  const unsigned r = static_cast<unsigned>(region);
  return {static_cast<std::uint8_t>((highest & 0x3F) | (((r >> 2) & 3) << 6)),
          static_cast<std::uint8_t>((lowest & 0x3F) | ((r & 3) << 6))};
}

}  // namespace

int VELKOR_CALL SetRegion(unsigned char *address, unsigned char high_byte,
                          unsigned char low_byte, VelkorHandle handle) {
  return send_bytes(address, 0x22, {.variant = kAddressAlways}, {high_byte, low_byte},
                    handle);
}

int VELKOR_CALL SetRegionAndChannel(unsigned char *address, int region,
                                    unsigned char lowest, unsigned char highest,
                                    VelkorHandle handle) {
  const RegionBytes bytes = pack(region, lowest, highest);
  return SetRegion(address, bytes.first, bytes.second, handle);
}

int VELKOR_CALL SetRegionWithDefaultChannel(unsigned char *address, int region,
                                            VelkorHandle handle) {
  // A region without a channel plan has no highest channel to select.
  const int channels = channel_count(region);
  if (channels == 0) return STATUS_PARAMETER_ERROR;
  return SetRegionAndChannel(address, region, 0,
                             static_cast<unsigned char>(channels - 1), handle);
}
