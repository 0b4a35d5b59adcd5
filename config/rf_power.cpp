// RF power, calibration and self-test.  The values mean something only to
// the reader: they travel unchanged and unchecked.
#include "protocol/byte_command.h"

using namespace velkor;

int VELKOR_CALL SetRfPower(unsigned char *address, unsigned char power,
                           VelkorHandle handle) {
  return send_bytes(address, 0x2F, {.variant = kOutputsOnSuccess}, {power}, handle);
}

int VELKOR_CALL SetDAC(unsigned char *address, unsigned char dac, VelkorHandle handle) {
  return send_bytes(address, 0x29, {.variant = kAddressAlways}, {dac}, handle);
}

int VELKOR_CALL GetDAC(unsigned char *address, unsigned char *dac, VelkorHandle handle) {
  return read_bytes(address, 0x2A, {.variant = kOutputsOnSuccess}, {}, {dac}, handle);
}

int VELKOR_CALL CheckPowerParameter(unsigned char *address, unsigned char *result,
                                    VelkorHandle handle) {
  return read_bytes(address, 0x2B, {.variant = kOutputsOnSuccess}, {}, {result}, handle);
}

int VELKOR_CALL SolidifyDACandPowerlist(unsigned char *address, unsigned char *list31,
                                        unsigned char *result, VelkorHandle handle) {
  Frame frame(address, 0x2C);
  frame.bytes(list31, 31);
  return exchange(frame, handle, {.variant = kOutputsOnSuccess},
                  [&](const Reply &r) { *result = r.data(0); });
}

int VELKOR_CALL GetStartInformation(unsigned char *address, unsigned char *info0,
                                    unsigned char *info1, unsigned char *info2,
                                    unsigned char *info3, unsigned char *info4,
                                    unsigned char *info5, unsigned char *info6,
                                    unsigned char *info7, unsigned char *info8,
                                    VelkorHandle handle) {
  return read_bytes(address, 0x2D, {.variant = kOutputsOnSuccess}, {},
                    {info0, info1, info2, info3, info4, info5, info6, info7, info8},
                    handle);
}

int VELKOR_CALL RfOutput(unsigned char *address, unsigned char setting,
                         VelkorHandle handle) {
  return send_bytes(address, 0x30, {.variant = kOutputsOnSuccess}, {setting}, handle);
}

int VELKOR_CALL DeleteRfOutput(unsigned char *address, unsigned char *result,
                               VelkorHandle handle) {
  return read_bytes(address, 0x32, {.variant = kOutputsOnSuccess}, {}, {result}, handle);
}

int VELKOR_CALL InSelfTestMode(unsigned char *address, int flag, VelkorHandle handle) {
  // Flag 0 sends the bare byte 0xA5 (no length, address or CRC).  The reader
  // may answer either request with either echo.
  constexpr std::uint8_t kFramed = 0x26, kRaw = 0xA5;
  Frame frame = flag != 0 ? Frame(address, kFramed) : Frame::raw(address, kRaw);
  return exchange(frame, handle,
                  {.variant = kAddressAlways, .alt_echo = flag != 0 ? kRaw : kFramed});
}

int VELKOR_CALL EnableTestFreq(unsigned char *address, unsigned char *freq4,
                               unsigned char setting, VelkorHandle handle) {
  Frame frame(address, 0x60);
  frame.bytes(freq4, 4).u8(setting);
  return exchange(frame, handle, {.variant = kOutputsOnSuccess});
}

int VELKOR_CALL GetADValue(unsigned char *address, unsigned char request,
                           unsigned char *value2, VelkorHandle handle) {
  Frame frame(address, 0x61);
  frame.u8(request);
  return exchange(frame, handle, {.variant = kOutputsOnSuccess},
                  [&](const Reply &r) { r.copy_data(0, value2, 2); });
}

int VELKOR_CALL SetAValue(unsigned char *address, unsigned char lead,
                          unsigned char *first4, unsigned char *second4,
                          VelkorHandle handle) {
  Frame frame(address, 0x62);
  frame.u8(lead).bytes(first4, 4).bytes(second4, 4);
  return exchange(frame, handle, {.variant = kOutputsOnSuccess});
}

int VELKOR_CALL GetAdjustPara(unsigned char *address, unsigned char *block148,
                              VelkorHandle handle) {
  // A full block spans three reports.
  return read_block(address, 0x65, {.variant = kOutputsOnSuccess}, block148, 148, handle);
}

int VELKOR_CALL SetCheckAnt(unsigned char *address, unsigned char setting,
                            VelkorHandle handle) {
  return send_bytes(address, 0x66, {.variant = kOutputsOnSuccess}, {setting}, handle);
}

int VELKOR_CALL GetCheckPWR(unsigned char *address, unsigned char *first2,
                            unsigned char *second2, VelkorHandle handle) {
  Frame frame(address, 0x67);
  return exchange(frame, handle, {.variant = kOutputsOnSuccess}, [&](const Reply &r) {
    r.copy_data(0, first2, 2);
    r.copy_data(2, second2, 2);
  });
}

int VELKOR_CALL SetQS(unsigned char *address, unsigned char qs1, unsigned char qs2,
                      VelkorHandle handle) {
  return send_bytes(address, 0x81, {.variant = kOutputsOnSuccess}, {qs1, qs2}, handle);
}

int VELKOR_CALL GetQS(unsigned char *address, unsigned char *qs1, unsigned char *qs2,
                      VelkorHandle handle) {
  return read_bytes(address, 0x82, {.variant = kOutputsOnSuccess}, {}, {qs1, qs2},
                    handle);
}

int VELKOR_CALL SetDCOffset(unsigned char *address, unsigned char *offset2,
                            VelkorHandle handle) {
  return send_block(address, 0x6C, {.variant = kOutputsOnSuccess}, offset2, 2, handle);
}

int VELKOR_CALL SetFlashRom(unsigned char *address, VelkorHandle handle) {
  return send_bytes(address, 0x84, {.variant = kStatusOnly}, {}, handle);
}
