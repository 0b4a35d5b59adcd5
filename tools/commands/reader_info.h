// The reader's information block and serial number, and the settings the
// block reports (several subcommands show them).
#ifndef VELKOR_TOOLS_READER_INFO_H
#define VELKOR_TOOLS_READER_INFO_H

#include "tools/session/session.h"

namespace velkor::tool {

/// The block as the reader lays it out: firmware version (2), type,
/// protocols, the two region bytes, power, scan time, antenna, beep, link.
struct ReaderInfo {
  unsigned char block[12] = {};
  unsigned char serial[4] = {};

  int region() const { return ((block[4] >> 6) << 2) | (block[5] >> 6); }
  int lowest_channel() const { return block[5] & 0x3F; }
  int highest_channel() const { return block[4] & 0x3F; }
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

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_READER_INFO_H
