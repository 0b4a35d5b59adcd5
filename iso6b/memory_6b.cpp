// ISO 18000-6B memory and lock commands.  Each names its tag by the 8-byte
// identifier, which travels after the address byte although callers pass it
// first, and reports the tag's own error through the tag error code.
#include "protocol/exchange.h"

using namespace velkor;

namespace {

constexpr std::size_t kIdSize = 8;

Rules tag_rules(Variant variant, int *error_code) {
  return {.variant = variant, .tag_error = error_code};
}

// Address always, outputs on status 0 only.
constexpr Variant kAddressAlwaysOutputsOnSuccess{Write::kAlways, Write::kOnSuccess};

// The frame shared by the lock commands: byte address, then the identifier.
Frame lock_frame(unsigned char *address, std::uint8_t command,
                 unsigned char *id, unsigned char byte_address) {
  Frame frame(address, command);
  frame.u8(byte_address).bytes(id, kIdSize);
  return frame;
}

}  // namespace

int VELKOR_CALL ReadData_6B(unsigned char *address, unsigned char *id,
                            unsigned char start, unsigned char byte_count,
                            unsigned char *data, int *error_code,
                            VelkorHandle handle) {
  Frame frame(address, 0x52);
  frame.u8(start).bytes(id, kIdSize).u8(byte_count);
  // As many bytes as asked for, whatever the reply carries: the caller sized
  // its buffer for them, and bytes the reply lacks read as zero.
  return exchange(frame, handle, tag_rules(kAddressAlwaysOutputsOnSuccess, error_code),
                  [&](const Reply &r) {
                    if (r.length() > 5) r.copy_data(0, data, byte_count);
                  });
}

int VELKOR_CALL WriteData_6B(unsigned char *address, unsigned char *id,
                             unsigned char start, unsigned char *data,
                             unsigned char byte_count, unsigned char *written,
                             int *error_code, VelkorHandle handle) {
  // More than 48 data bytes cannot fit one report: the frame refuses them
  // with STATUS_PARAMETER_ERROR before anything is sent.
  Frame frame(address, 0x53);
  frame.u8(start).bytes(id, kIdSize).bytes(data, byte_count);
  // The reply carries no count; success means every byte was written.
  return exchange(frame, handle, tag_rules(kAddressAlwaysOutputsOnSuccess, error_code),
                  [&](const Reply &) { *written = byte_count; });
}

int VELKOR_CALL Lock_6B(unsigned char *address, unsigned char *id,
                        unsigned char byte_address, int *error_code,
                        VelkorHandle handle) {
  Frame frame = lock_frame(address, 0x55, id, byte_address);
  return exchange(frame, handle, tag_rules(kAddressAlways, error_code));
}

int VELKOR_CALL CheckLock_6B(unsigned char *address, unsigned char *id,
                             unsigned char byte_address, unsigned char *lock_state,
                             int *error_code, VelkorHandle handle) {
  Frame frame = lock_frame(address, 0x54, id, byte_address);
  return exchange(frame, handle, tag_rules(kOutputsOnSuccess, error_code),
                  [&](const Reply &r) { *lock_state = r.data(0); });
}
