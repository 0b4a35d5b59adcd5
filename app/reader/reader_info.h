// The reader's information block and serial number, decoded once for every
// surface: firmware, type, protocols, region and channels (region 5
// included), power, scan time, antennas, beep and link type.
#ifndef VELKOR_APP_READER_READER_INFO_H
#define VELKOR_APP_READER_READER_INFO_H

#include <array>

#include "app/base/error.h"
#include "app/reader/session.h"

namespace velkor::app {

/// Bytes of the information block: firmware version (2), type, protocols,
/// the two region bytes, power, scan time, antenna, beep, link type.
constexpr std::size_t kInfoBlockBytes = 12;

/// A region and the range of its channels in use.
struct Region {
  int region = 0;
  int lowest = 0;
  int highest = 0;
  bool operator==(const Region &) const = default;
};

struct ReaderInfo {
  std::array<unsigned char, kInfoBlockBytes> block{};  ///< as the reader laid it out
  std::array<unsigned char, 4> serial{};  ///< when read with the block, else zeros
  int firmware_major = 0, firmware_minor = 0;
  int type = 0;
  bool gen2 = false, iso6b = false;
  /// The region and channels as they were set.  Region 5 travels as region
  /// 2's bits with both channels raised by 26, so region 2 bytes whose
  /// channels both lie in 26 to 44 read as region 5.
  Region region;
  Region packed;  ///< the two region bytes as they travel
  int power_dbm = 0;
  int scan_time_ms = 0;
  int antenna = 0;  ///< antennas in use, one bit each
  bool beep = false;
  int comm_type = 0;
};

/// The information block decoded (the serial left as zeros).
ReaderInfo decode_info(const std::array<unsigned char, kInfoBlockBytes> &block);

/// Reads and decodes the block through the given address byte; with_serial
/// also reads the serial number.  Errors: the first failing status.
Result<ReaderInfo> read_info(unsigned char *address, VelkorHandle handle,
                             bool with_serial = false);
inline Result<ReaderInfo> read_info(Session &s, bool with_serial = false) {
  return read_info(s.address(), s.handle(), with_serial);
}

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_READER_INFO_H
