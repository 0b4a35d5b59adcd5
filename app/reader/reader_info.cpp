#include "app/reader/reader_info.h"

namespace velkor::app {

namespace {
// Region 5's packing: region 2's bits, channels raised by this much.
constexpr int kRegion5Offset = 26;
}  // namespace

ReaderInfo decode_info(const std::array<unsigned char, kInfoBlockBytes> &b) {
  ReaderInfo info;
  info.block = b;
  info.firmware_major = b[0];
  info.firmware_minor = b[1];
  info.type = b[2];
  info.gen2 = (b[3] & 0x02) != 0;
  info.iso6b = (b[3] & 0x01) != 0;
  // Region bits 3-2 and the highest channel in the first byte, bits 1-0 and
  // the lowest channel in the second.
  info.packed = {((b[4] >> 6) << 2) | (b[5] >> 6), b[5] & 0x3F, b[4] & 0x3F};
  const Region &p = info.packed;
  info.region = p.region == VELKOR_REGION_902MHZ && p.lowest >= kRegion5Offset &&
                        p.highest < kRegion5Offset + VELKOR_REGION_916MHZ_CHANNELS
                    ? Region{VELKOR_REGION_916MHZ, p.lowest - kRegion5Offset,
                             p.highest - kRegion5Offset}
                    : p;
  info.power_dbm = b[6];
  info.scan_time_ms = b[7] * 100;
  info.antenna = b[8];
  info.beep = b[9] != 0;
  info.comm_type = b[10];
  return info;
}

Result<ReaderInfo> read_info(unsigned char *address, VelkorHandle handle, bool with_serial) {
  std::array<unsigned char, kInfoBlockBytes> block{};
  unsigned char *b = block.data();
  int rc = GetReaderInformation(address, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7, b + 8,
                                b + 9, b + 10, b + 11, handle);
  if (rc != STATUS_OK) return Error::from_status(rc, "information");
  ReaderInfo info = decode_info(block);
  if (with_serial && (rc = GetSeriaNo(address, info.serial.data(), handle)) != STATUS_OK)
    return Error::from_status(rc, "serial number");
  return info;
}

}  // namespace velkor::app
