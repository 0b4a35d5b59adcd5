// The reader's information block and serial number, and the settings the
// block reports (several subcommands show them).
#ifndef VELKOR_APP_READER_READER_INFO_H
#define VELKOR_APP_READER_READER_INFO_H

#include "app/reader/session.h"

namespace velkor::app {

/// The block as the reader lays it out: firmware version (2), type,
/// protocols, the two region bytes, power, scan time, antenna, beep, link.
struct ReaderInfo {
  unsigned char block[12] = {};
  unsigned char serial[4] = {};

  /// The two region bytes as they travel: region bits and channel indexes.
  int packed_region() const { return ((block[4] >> 6) << 2) | (block[5] >> 6); }
  int packed_lowest() const { return block[5] & 0x3F; }
  int packed_highest() const { return block[4] & 0x3F; }

  struct Region {
    int region, lowest, highest;
  };
  /// The region and channels as they were set.  Region 5 travels as region
  /// 2's bits with both channels raised by 26, so region 2 bytes whose
  /// channels both lie in 26 to 44 read back as region 5.
  Region region() const;
  int power() const { return block[6]; }
  int scan_time_ms() const { return block[7] * 100; }
  int antenna() const { return block[8]; }
  bool beep() const { return block[9] != 0; }
};

/// Reads the block through the given address byte; with_serial also reads
/// the serial number.  Returns the first failing status, or 0.
int read_info(unsigned char *address, VelkorHandle handle, ReaderInfo &info,
              bool with_serial = false);
inline int read_info(Session &s, ReaderInfo &info, bool with_serial = false) {
  return read_info(s.address(), s.handle(), info, with_serial);
}

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_READER_INFO_H
