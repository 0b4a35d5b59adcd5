#include "app/reader/reader_info.h"

namespace velkor::app {

namespace {
// Region 5's packing: region 2's bits, channels raised by this much.
constexpr int kRegion5Offset = 26;
}  // namespace

ReaderInfo::Region ReaderInfo::region() const {
  const int lowest = packed_lowest(), highest = packed_highest();
  if (packed_region() == VELKOR_REGION_902MHZ && lowest >= kRegion5Offset &&
      highest < kRegion5Offset + VELKOR_REGION_916MHZ_CHANNELS)
    return {VELKOR_REGION_916MHZ, lowest - kRegion5Offset, highest - kRegion5Offset};
  return {packed_region(), lowest, highest};
}

int read_info(unsigned char *address, VelkorHandle handle, ReaderInfo &info, bool with_serial) {
  unsigned char *b = info.block;
  int rc = GetReaderInformation(address, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7, b + 8,
                                b + 9, b + 10, b + 11, handle);
  if (rc == STATUS_OK && with_serial) rc = GetSeriaNo(address, info.serial, handle);
  return rc;
}

}  // namespace velkor::app
