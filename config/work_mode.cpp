// Work mode and the parameters of the reader's automatic inventory.
#include "protocol/byte_command.h"

using namespace velkor;

int VELKOR_CALL SetInventoryScanTime(unsigned char *address, unsigned char scan_time,
                                     VelkorHandle handle) {
  return send_bytes(address, 0x25, {.variant = kAddressAlways}, {scan_time}, handle);
}

int VELKOR_CALL SetWorkMode(unsigned char *address, unsigned char mode,
                            VelkorHandle handle) {
  return send_bytes(address, 0x35, {.variant = kStatusOnly}, {mode}, handle);
}

int VELKOR_CALL GetSystemParameter(
    unsigned char *address, unsigned char *p2, unsigned char *p3, unsigned char *p4,
    unsigned char *p5, unsigned char *p6, unsigned char *p7, unsigned char *p8,
    unsigned char *p9_two, unsigned char *p10, unsigned char *p11_mask32,
    unsigned char *p12, unsigned char *p13, unsigned char *p14, VelkorHandle handle) {
  // Older readers answer with 42 data bytes (length byte 0x2F), without the
  // last three parameters.
  constexpr std::uint8_t kShortReply = 0x2F;
  Frame frame(address, 0x36);
  return exchange(frame, handle, {.variant = kNoAddress}, [&](const Reply &r) {
    hand_out(r, 0, {p2, p3, p4, p5, p6, p7, p8});
    r.copy_data(7, p9_two, 2);
    *p10 = r.data(9);
    r.copy_data(10, p11_mask32, 32);
    if (r.length() == kShortReply)
      *p12 = 0;
    else
      hand_out(r, 42, {p12, p13, p14});
  });
}

int VELKOR_CALL SetEASSensitivity(unsigned char *address, unsigned char sensitivity,
                                  VelkorHandle handle) {
  return send_bytes(address, 0x37, {.variant = kStatusOnly}, {sensitivity}, handle);
}

int VELKOR_CALL SetTriggerTime(unsigned char *address, unsigned char trigger_time,
                               VelkorHandle handle) {
  return send_bytes(address, 0x49, {.variant = kStatusOnly}, {trigger_time}, handle);
}

int VELKOR_CALL SetMask(unsigned char *address, unsigned char mask_mem,
                        unsigned char *mask_addr, unsigned char mask_len,
                        unsigned char *mask_data, VelkorHandle handle) {
  // The frame grows with the mask: ceil(mask_len / 8) bytes, 9 to 41 in all.
  Frame frame(address, 0x3B);
  frame.mask({mask_mem, mask_addr, mask_len, mask_data});
  return exchange(frame, handle, {.variant = kStatusOnly});
}

int VELKOR_CALL SetResponsePamametersofAuto_runningMode(unsigned char *address,
                                                        unsigned char first,
                                                        unsigned char second,
                                                        VelkorHandle handle) {
  return send_bytes(address, 0x3C, {.variant = kStatusOnly}, {first, second}, handle);
}

int VELKOR_CALL SetInventoryInterval(unsigned char *address, unsigned char interval,
                                     VelkorHandle handle) {
  return send_bytes(address, 0x3D, {.variant = kStatusOnly}, {interval}, handle);
}

int VELKOR_CALL SelectTagType(unsigned char *address, unsigned char tag_type,
                              VelkorHandle handle) {
  return send_bytes(address, 0x3E, {.variant = kStatusOnly}, {tag_type}, handle);
}

int VELKOR_CALL SetAntennaMultiplexing(unsigned char *address, unsigned char setting,
                                       VelkorHandle handle) {
  return send_bytes(address, 0x3F, {.variant = kStatusOnly}, {setting}, handle);
}

int VELKOR_CALL SetBeepNotification(unsigned char *address, unsigned char setting,
                                    VelkorHandle handle) {
  return send_bytes(address, 0x40, {.variant = kStatusOnly}, {setting}, handle);
}

int VELKOR_CALL ClearTagBuffer(unsigned char *address, VelkorHandle handle) {
  return send_bytes(address, 0x44, {.variant = kStatusOnly}, {}, handle);
}

int VELKOR_CALL SetTIDParameter(unsigned char *address, unsigned char first,
                                unsigned char second, VelkorHandle handle) {
  return send_bytes(address, 0x4A, {.variant = kOutputsOnSuccess}, {first, second},
                    handle);
}

int VELKOR_CALL SetTagCustomFunction(unsigned char *address, unsigned char *function,
                                     VelkorHandle handle) {
  // The reader answers with the function it took, which replaces the caller's.
  return read_bytes(address, 0x3A, {.variant = kOutputsOnSuccess}, {*function},
                    {function}, handle);
}

int VELKOR_CALL SetWorkTime(unsigned char *address, unsigned char first,
                            unsigned char second, VelkorHandle handle) {
  // Data byte 0 is always 0 (command 0x60 with other data sets a test frequency).
  return send_bytes(address, 0x60, {.variant = kOutputsOnSuccess}, {0x00, first, second},
                    handle);
}

int VELKOR_CALL GetWorkTime(unsigned char *address, unsigned char *first,
                            unsigned char *second, VelkorHandle handle) {
  // Reply data byte 0 is not part of the work time.
  Frame frame(address, 0x61);
  return exchange(frame, handle, {.variant = kOutputsOnSuccess},
                  [&](const Reply &r) { hand_out(r, 1, {first, second}); });
}
