// The reader's tag buffer: its tag count, clearing it, and its one-byte save
// length.  The reader address is never written back.
#include "protocol/exchange.h"

using namespace velkor;

int VELKOR_CALL GetBufferCnt_G2(unsigned char *address, int *count,
                                VelkorHandle handle) {
  Frame frame(address, 0x74);
  return exchange(frame, handle, {.variant = kOutputsAlways},
                  [&](const Reply &r) { *count = r.data_be16(0); });
}

int VELKOR_CALL ClearBuffer_G2(unsigned char *address, VelkorHandle handle) {
  Frame frame(address, 0x73);
  return exchange(frame, handle, {.variant = kStatusOnly});
}

int VELKOR_CALL SetSaveLen(unsigned char *address, unsigned char save_len,
                           VelkorHandle handle) {
  Frame frame(address, 0x70);
  frame.u8(save_len);
  return exchange(frame, handle, {.variant = kStatusOnly});
}

int VELKOR_CALL GetSaveLen(unsigned char *address, unsigned char *save_len,
                           VelkorHandle handle) {
  Frame frame(address, 0x71);
  return exchange(frame, handle, {.variant = kOutputsAlways},
                  [&](const Reply &r) { *save_len = r.data(0); });
}
