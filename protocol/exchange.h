// The exchange every command runs: build the frame, send it, collect the
// reply, check CRC and echo, then write the address and outputs back as the
// command's variant allows.  A command function only declares its frame, its
// rules and how its outputs are read from the reply:
//
//   Frame frame(address, 0x2A);
//   return exchange(frame, handle, {.variant = kOutputsOnSuccess},
//                   [&](const Reply &r) { *dac = r.data(0); });
#ifndef VELKOR_PROTOCOL_EXCHANGE_H
#define VELKOR_PROTOCOL_EXCHANGE_H

#include <cstddef>
#include <cstdint>

#include "velkor.h"
#include "velkor_link.hpp"

namespace velkor {

/// Room of every reply buffer, and the most any collector delivers.
constexpr std::size_t kReplyCapacity = 6000;

/// A selection mask as it travels in a request: bank, two address bytes in
/// memory order, the length in bits, then ceil(bits / 8) mask bytes.
struct Mask {
  std::uint8_t bank;
  const std::uint8_t *address;
  std::uint8_t bits;
  const std::uint8_t *bytes;

  std::size_t byte_count() const { return bits / 8u + (bits % 8u ? 1u : 0u); }
};

/// One command frame, built in a buffer of the call: length, address,
/// command, data, CRC.  Data that would not fit one data report marks the
/// frame as not fitting instead of being written past the buffer.
class Frame {
 public:
  /// Starts a frame to the reader at *address (read now).
  Frame(std::uint8_t *address, std::uint8_t command);

  /// A single unframed byte; the reply's echo is tested against it.
  static Frame raw(std::uint8_t *address, std::uint8_t byte);

  Frame &u8(unsigned value);
  Frame &bytes(const void *source, std::size_t n);
  Frame &mask(const Mask &m);

  /// Sets the length byte and appends the CRC.  False when the frame does not
  /// fit one data report.
  bool close();

  std::uint8_t command() const { return command_; }
  std::uint8_t *address() const { return address_; }
  const std::uint8_t *data() const { return bytes_; }
  std::uint8_t *data() { return bytes_; }
  std::size_t size() const { return size_; }

 private:
  Frame() = default;

  std::uint8_t bytes_[VELKOR_REPORT_PAYLOAD] = {};
  std::size_t size_ = 0;
  std::uint8_t *address_ = nullptr;
  std::uint8_t command_ = 0;
  bool fits_ = true;
  bool raw_ = false;
};

/// The reply buffer of a call, cleared before collection so that fields
/// beyond what arrived read as zero.  No accessor reads outside it, and the
/// data accessors read nothing at or past the reply's CRC: a field the reply
/// does not carry reads as zero, never as bytes that did not arrive.
class Reply {
 public:
  Reply();

  std::uint8_t byte(std::size_t i) const {
    return i < kReplyCapacity ? bytes_[i] : 0;
  }
  std::uint8_t length() const { return bytes_[0]; }
  std::uint8_t status() const { return bytes_[3]; }
  /// Reply data byte k (frame byte 4 + k).
  std::uint8_t data(std::size_t k) const {
    // data_end() never passes the buffer; the second test only spares GCC's
    // bounds analysis a false warning on a constant k past it.
    const std::size_t i = 4 + k;
    return i < data_end() && i < kReplyCapacity ? bytes_[i] : 0;
  }
  /// Reply data bytes k and k + 1 as a 16-bit number, high byte first (the
  /// few counters the reader sends big-endian).
  std::uint16_t data_be16(std::size_t k) const {
    return static_cast<std::uint16_t>((data(k) << 8) | data(k + 1));
  }
  /// Copies n frame bytes from frame byte `from` on; zeros from the CRC on.
  void copy(std::size_t from, void *dest, std::size_t n) const;
  void copy_data(std::size_t k, void *dest, std::size_t n) const {
    copy(4 + k, dest, n);
  }
  /// Bytes the collector delivered.
  std::size_t count() const {
    return count_ > 0 ? static_cast<std::size_t>(count_) : 0;
  }
  /// Where the reply's data ends: its two CRC bytes, the last it delivered.
  std::size_t data_end() const {
    const std::size_t n = count() < kReplyCapacity ? count() : kReplyCapacity;
    return n >= 2 ? n - 2 : 0;
  }
  const std::uint8_t *bytes() const { return bytes_; }

  std::uint8_t *buffer() { return bytes_; }
  int *count_slot() { return &count_; }

 private:
  std::uint8_t bytes_[kReplyCapacity];
  int count_ = 0;
};

/// When a reply may write the address or the outputs.
enum class Write : std::uint8_t { kOnSuccess, kAlways, kNever };

struct Variant {
  Write address;
  Write outputs;
};

inline constexpr Variant kOutputsOnSuccess{Write::kOnSuccess, Write::kOnSuccess};
inline constexpr Variant kAddressAlways{Write::kAlways, Write::kNever};
inline constexpr Variant kNoAddress{Write::kNever, Write::kOnSuccess};
inline constexpr Variant kStatusOnly{Write::kNever, Write::kNever};
inline constexpr Variant kOutputsAlways{Write::kNever, Write::kAlways};

using Collector = int (*)(unsigned char *, int *, VelkorHandle);

/// How a command's reply is fetched, checked and written back.
struct Rules {
  Variant variant = kOutputsOnSuccess;
  Collector collect = &GetDataFromPort;
  bool begin = false;         ///< send CTRL_BEGIN first; failing that ends the call
  bool check_crc = true;
  bool check_echo = true;
  int alt_echo = -1;          ///< a second accepted echo, or -1
  std::uint8_t success = 0;   ///< the status that counts as success
  int *tag_error = nullptr;   ///< tag error code: -1 on status 0, byte 4 on 0xFC
};

/// How far an exchange got, and its code.
struct Outcome {
  enum Stage {
    kRefused,       ///< the frame does not fit one report; nothing sent
    kNotBegun,      ///< the begin report could not be written
    kNotCollected,  ///< the collector failed
    kRejected,      ///< CRC or echo test failed
    kAnswered,      ///< a good reply; code is its status
  };
  Stage stage;
  int code;

  bool collected() const { return stage >= kNotCollected; }
  bool answered() const { return stage == kAnswered; }
};

/// Sends the frame and collects and checks the reply into reply.
Outcome transact(Frame &frame, VelkorHandle handle, const Rules &rules,
                 Reply &reply);

/// Writes the address, the outputs and the tag error code as the rules allow
/// after a transact; returns the call's result.
template <typename Outputs>
int settle(const Outcome &outcome, const Frame &frame, const Reply &reply,
           const Rules &rules, Outputs &&outputs) {
  if (!outcome.answered()) return outcome.code;
  const bool success = reply.status() == rules.success;
  auto allowed = [success](Write w) {
    return w == Write::kAlways || (w == Write::kOnSuccess && success);
  };
  if (allowed(rules.variant.address)) *frame.address() = reply.byte(1);
  if (allowed(rules.variant.outputs)) outputs(reply);
  if (rules.tag_error != nullptr) {
    if (reply.status() == STATUS_OK)
      *rules.tag_error = -1;
    else if (reply.status() == 0xFC)
      *rules.tag_error = reply.data(0);
  }
  return outcome.code;
}

/// The whole exchange of a single-reply command.
template <typename Outputs>
int exchange(Frame &frame, VelkorHandle handle, const Rules &rules,
             Outputs &&outputs) {
  Reply reply;
  const Outcome outcome = transact(frame, handle, rules, reply);
  return settle(outcome, frame, reply, rules, outputs);
}

inline int exchange(Frame &frame, VelkorHandle handle, const Rules &rules) {
  return exchange(frame, handle, rules, [](const Reply &) {});
}

}  // namespace velkor

#endif  // VELKOR_PROTOCOL_EXCHANGE_H
