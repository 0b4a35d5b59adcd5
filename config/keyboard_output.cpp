// The reader's HID keyboard output: the switch-over and its settings.  The
// reader's answers to these commands need not echo the command byte, so no
// echo test is made; the address is never written back.
#include "protocol/byte_command.h"
#include "link/report.h"

using namespace velkor;

namespace {

constexpr Rules keyboard(Variant variant) {
  return {.variant = variant, .check_echo = false};
}

bool within(unsigned value, unsigned lowest, unsigned highest) {
  return value >= lowest && value <= highest;
}

}  // namespace

int VELKOR_CALL ChangeToHID(unsigned char *, VelkorHandle handle) {
  // A control report only: the reader sends no reply to it.
  return send_control(handle, CTRL_CHANGE_TO_HID) ? STATUS_OK : STATUS_COMM_ERROR;
}

int VELKOR_CALL SetHidBeepEn(unsigned char *address, unsigned char beep,
                             VelkorHandle handle) {
  return send_bytes(address, 0xA3, keyboard(kStatusOnly), {beep}, handle);
}

int VELKOR_CALL GetHidBeepEn(unsigned char *address, unsigned char *beep,
                             VelkorHandle handle) {
  return read_bytes(address, 0xA4, keyboard(kOutputsAlways), {}, {beep}, handle);
}

int VELKOR_CALL SetHidWorkPara(unsigned char *address, unsigned char p1,
                               unsigned char p2, unsigned char p3, unsigned char p4,
                               unsigned char p5, unsigned char p6,
                               VelkorHandle handle) {
  if (!within(p1, 1, 4) || !within(p3, 0, 15) || !within(p4, 0, 1) || !within(p5, 0, 1))
    return STATUS_PARAMETER_ERROR;
  return send_bytes(address, 0xA1, keyboard(kStatusOnly), {p1, p2, p3, p4, p5, p6},
                    handle);
}

int VELKOR_CALL GetHidWorkPara(unsigned char *address, unsigned char *p1,
                               unsigned char *p2, unsigned char *p3, unsigned char *p4,
                               unsigned char *p5, unsigned char *p6,
                               VelkorHandle handle) {
  return read_bytes(address, 0xA2, keyboard(kOutputsAlways), {}, {p1, p2, p3, p4, p5, p6},
                    handle);
}
