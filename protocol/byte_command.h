// The shapes most simple commands share: a few one-byte values out and a
// few reply data bytes back, one to each output pointer; or one block of
// bytes out or back, in memory order.  Each command still names its own
// command byte and write-back rules at its call.
#ifndef VELKOR_PROTOCOL_BYTE_COMMAND_H
#define VELKOR_PROTOCOL_BYTE_COMMAND_H

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

/// Sends `command` with the n bytes at `block` as its request data; no
/// outputs.
inline int send_block(unsigned char *address, std::uint8_t command,
                      const Rules &rules, const void *block, std::size_t n,
                      VelkorHandle handle) {
  Frame frame(address, command);
  frame.bytes(block, n);
  return exchange(frame, handle, rules);
}

/// Sends `command` without data and copies reply data bytes 0 to n - 1 to
/// `block` as the rules allow, whatever the reply's length (bytes past it
/// read as its CRC, then zeros).
inline int read_block(unsigned char *address, std::uint8_t command,
                      const Rules &rules, void *block, std::size_t n,
                      VelkorHandle handle) {
  Frame frame(address, command);
  return exchange(frame, handle, rules,
                  [&](const Reply &r) { r.copy_data(0, block, n); });
}

}  // namespace velkor

#endif  // VELKOR_PROTOCOL_BYTE_COMMAND_H
