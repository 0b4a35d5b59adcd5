#include "tools/commands/reader_info.h"

namespace velkor::tool {

int read_info(unsigned char *address, VelkorHandle handle, ReaderInfo &info, bool with_serial) {
  unsigned char *b = info.block;
  int rc = GetReaderInformation(address, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7, b + 8,
                                b + 9, b + 10, b + 11, handle);
  if (rc == STATUS_OK && with_serial) rc = GetSeriaNo(address, info.serial, handle);
  return rc;
}

}  // namespace velkor::tool
