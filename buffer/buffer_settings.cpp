// The reader's tag buffer: its tag count, clearing it, and its one-byte save
// length.  The reader address is never written back.
#include "protocol/byte_command.h"

using namespace velkor;

int VELKOR_CALL GetBufferCnt_G2(unsigned char *address, int *count,
                                VelkorHandle handle) {
  Frame frame(address, 0x74);
  return exchange(frame, handle, {.variant = kOutputsAlways},
                  [&](const Reply &r) { *count = r.data_be16(0); });
}

int VELKOR_CALL ClearBuffer_G2(unsigned char *address, VelkorHandle handle) {
  return send_bytes(address, 0x73, {.variant = kStatusOnly}, {}, handle);
}

int VELKOR_CALL SetSaveLen(unsigned char *address, unsigned char save_len,
                           VelkorHandle handle) {
  return send_bytes(address, 0x70, {.variant = kStatusOnly}, {save_len}, handle);
}

int VELKOR_CALL GetSaveLen(unsigned char *address, unsigned char *save_len,
                           VelkorHandle handle) {
  return read_bytes(address, 0x71, {.variant = kOutputsAlways}, {}, {save_len}, handle);
}
