// The shape most configuration commands share: a few one-byte values out, a
// few reply data bytes back, one to each output pointer.  Each command still
// names its own command byte and write-back rules at its call.
#ifndef VELKOR_CONFIG_BYTE_COMMAND_H
#define VELKOR_CONFIG_BYTE_COMMAND_H

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "protocol/exchange.h"

namespace velkor {

/// Hands reply data bytes first, first + 1, ... to outputs, one byte each.
inline void hand_out(const Reply &reply, std::size_t first,
                     std::initializer_list<unsigned char *> outputs) {
  for (unsigned char *out : outputs) *out = reply.data(first++);
}

/// Sends `command` with `values` (low 8 bits each) as its request data, then
/// hands reply data bytes 0, 1, ... to outputs as the rules allow.
inline int read_bytes(unsigned char *address, std::uint8_t command,
                      const Rules &rules, std::initializer_list<unsigned> values,
                      std::initializer_list<unsigned char *> outputs,
                      VelkorHandle handle) {
  Frame frame(address, command);
  for (unsigned v : values) frame.u8(v);
  return exchange(frame, handle, rules,
                  [&](const Reply &r) { hand_out(r, 0, outputs); });
}

/// As read_bytes for a command with no outputs to fill.
inline int send_bytes(unsigned char *address, std::uint8_t command,
                      const Rules &rules, std::initializer_list<unsigned> values,
                      VelkorHandle handle) {
  return read_bytes(address, command, rules, values, {}, handle);
}

}  // namespace velkor

#endif  // VELKOR_CONFIG_BYTE_COMMAND_H
