// Buzzer and LEDs, real-time clock, relay, rev delay, GPIO lines and the
// notification pulse output.  None of these writes the reader address back.
#include "protocol/byte_command.h"

using namespace velkor;

int VELKOR_CALL BuzzerAndLEDControl(unsigned char *address, unsigned char first,
                                    unsigned char second, unsigned char third,
                                    VelkorHandle handle) {
  return send_bytes(address, 0x33, {.variant = kStatusOnly}, {first, second, third},
                    handle);
}

int VELKOR_CALL SetReal_timeClock(unsigned char *address, unsigned char *clock6,
                                  VelkorHandle handle) {
  // The six clock bytes travel as they stand; their fields are the reader's.
  return send_block(address, 0x41, {.variant = kStatusOnly}, clock6, 6, handle);
}

int VELKOR_CALL GetTime(unsigned char *address, unsigned char *clock6,
                        VelkorHandle handle) {
  return read_block(address, 0x42, {.variant = kNoAddress}, clock6, 6, handle);
}

int VELKOR_CALL SetRelay(unsigned char *address, unsigned char setting,
                         VelkorHandle handle) {
  return send_bytes(address, 0x45, {.variant = kStatusOnly}, {setting}, handle);
}

int VELKOR_CALL GetRevDelay(unsigned char *address, unsigned char *delay,
                            VelkorHandle handle) {
  return read_bytes(address, 0x31, {.variant = kNoAddress}, {}, {delay}, handle);
}

int VELKOR_CALL SetRevDelay(unsigned char *address, unsigned char delay,
                            VelkorHandle handle) {
  return send_bytes(address, 0x27, {.variant = kStatusOnly}, {delay}, handle);
}

int VELKOR_CALL SetGPIO(unsigned char *address, unsigned char setting,
                        VelkorHandle handle) {
  return send_bytes(address, 0x46, {.variant = kStatusOnly}, {setting}, handle);
}

int VELKOR_CALL GetGPIOStatus(unsigned char *address, unsigned char *status,
                              VelkorHandle handle) {
  return read_bytes(address, 0x47, {.variant = kNoAddress}, {}, {status}, handle);
}

int VELKOR_CALL SetNotificationPulseOutput(unsigned char *address,
                                           unsigned char setting,
                                           VelkorHandle handle) {
  return send_bytes(address, 0x48, {.variant = kStatusOnly}, {setting}, handle);
}
