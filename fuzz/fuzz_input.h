// The command fuzzer's input, shared by the fuzzer and the seed generator:
//
//   row selector     1 byte, taken modulo the number of command rows
//   scalars          address, E, word count, mask length, byte count, p[0..11]
//   inputs           each of the row's input buffers, as many bytes as its
//                    size for those scalars
//   start tick       4 bytes, little-endian: the virtual clock at the call
//   refused writes   1 byte: bit k refuses the call's write k (k < 8)
//   sealing          1 byte: bit 0 set gives every frame of the reply stream
//                    its right CRC (the payload bytes delivered, read as
//                    frames back to back by their length bytes, get their last
//                    two bytes replaced), so that mutated replies still pass
//                    the CRC test and reach the decoders
//   input reports    one after the other until the input ends, each a header
//                    byte h and its payload:
//                      h < 0xC0   count h, then min(h, 62) payload bytes
//                      h < 0xD0   the read delivers nothing
//                      h < 0xE0   the report that follows (another header
//                                 and payload) comes (h - 0xCF) * 16 ms
//                                 late: past the read limit it stays queued
//                                 on the handle for a later read
//                      otherwise  the next byte is the count c (0..255), then
//                                 min(c, 62) payload bytes
//
// Bytes missing at the end of the input read as zero; once the reports run
// out every poll is answered with an empty report.
#ifndef VELKOR_FUZZ_FUZZ_INPUT_H
#define VELKOR_FUZZ_FUZZ_INPUT_H

#include <algorithm>
#include <cstddef>
#include <vector>
#include <cstdint>
#include <optional>

#include "tests/support/command_table.h"
#include "tests/support/fake_platform.h"

namespace velkor::fuzz {

using test::Bytes;

/// Reads the input front to back; zeros once it is exhausted.
class InputReader {
 public:
  InputReader(const std::uint8_t *data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t u8() { return at_ < size_ ? data_[at_++] : 0; }
  std::uint32_t u32();
  bool done() const { return at_ >= size_; }

 private:
  const std::uint8_t *data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

/// The row, its scalars and its inputs.
struct CommandInput {
  std::size_t row;
  test::CallSetup setup;
};

CommandInput read_command(InputReader &in);
void write_command(const CommandInput &command, Bytes &out);

/// The next input report, or nullopt for a read that delivers nothing;
/// *delay_ms receives how late it comes.
std::optional<fake::Report> read_report(InputReader &in, std::uint32_t *delay_ms = nullptr);
/// Appends a report as the device delivered it.
void write_report(const fake::Report &report, Bytes &out);

void write_u32(std::uint32_t value, Bytes &out);

/// Gives each frame of a byte stream its right CRC as the bytes go by.
class FrameSealer {
 public:
  void seal(std::uint8_t *bytes, std::size_t n);

 private:
  std::size_t at_ = 0;       // position in the current frame
  std::size_t length_ = 0;   // its length byte
  std::uint16_t crc_ = 0;
};

/// A device that delivers the input's reports and refuses the chosen writes.
class ReportDevice : public fake::Device {
 public:
  ReportDevice(InputReader &in, std::uint8_t refused, bool seal)
      : in_(in), refused_(refused), seal_(seal) {}
  int write(const fake::Report &) override;
  std::optional<std::uint32_t> read(fake::Report &report) override;

  /// Whether byte occurs in a payload the device has sent (a status it could
  /// have carried).
  bool sent(std::uint8_t byte) const {
    return std::find(delivered_.begin(), delivered_.end(), byte) != delivered_.end();
  }

 private:
  std::vector<std::uint8_t> delivered_;
  InputReader &in_;
  std::uint8_t refused_;
  bool seal_;
  FrameSealer sealer_;
  unsigned writes_ = 0;
};

}  // namespace velkor::fuzz

#endif  // VELKOR_FUZZ_FUZZ_INPUT_H
