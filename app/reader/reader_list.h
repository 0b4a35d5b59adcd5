// The readers attached: each with its device path and its information
// block, read through the address given.
#ifndef VELKOR_APP_READER_READER_LIST_H
#define VELKOR_APP_READER_READER_LIST_H

#include <string>
#include <vector>

#include "app/base/error.h"
#include "app/reader/reader_info.h"

namespace velkor::app {

struct FoundReader {
  int index = 0;
  std::string path;           ///< "/dev/hidraw0"
  unsigned char address = 0;  ///< as the reader's reply wrote it back
  Result<ReaderInfo> info;    ///< with the serial number, or what kept it unread
};

/// The device paths of the readers attached, as discovery finds them,
/// without a word sent to any (a reader a session holds is not disturbed).
/// kNotFound when there is none.
Result<std::vector<std::string>> reader_paths();

/// Every reader discovery finds, in order, each asked for its information
/// and serial number and closed again.  kNotFound when there is none.
Result<std::vector<FoundReader>> list_readers(int address = 0xFF);

}  // namespace velkor::app

#endif  // VELKOR_APP_READER_READER_LIST_H
