// A fake device whose answers the test scripts report by report, and which
// records every report the library writes to it.
#ifndef VELKOR_TESTS_SCRIPTED_DEVICE_H
#define VELKOR_TESTS_SCRIPTED_DEVICE_H

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "tests/support/fake_platform.h"

namespace velkor::test {

using Bytes = std::vector<std::uint8_t>;

/// A reply frame: length, address, echo, status, data, CRC.
Bytes reply_frame(std::uint8_t address, std::uint8_t echo, std::uint8_t status,
                  const Bytes &data = {});
/// Appends the CRC to bytes.
Bytes with_crc(Bytes bytes);
Bytes concat(std::initializer_list<Bytes> parts);

/// An input report carrying payload (count = payload size unless given).
fake::Report input_report(const Bytes &payload,
                          std::optional<std::uint8_t> count = std::nullopt);

class ScriptedDevice : public fake::Device {
 public:
  struct Input {
    fake::Report report;
    std::optional<std::uint32_t> delay;  // nullopt: the read gets nothing
  };

  int write(const fake::Report &report) override;
  std::optional<std::uint32_t> read(fake::Report &report) override;

  /// Queues one input report.
  void push(const fake::Report &report, std::uint32_t delay = 0);
  /// Queues a read that delivers nothing.
  void push_nothing();
  /// Queues a byte stream as payloads of the given sizes (the last size
  /// repeats; default 62 bytes a report).
  void push_stream(const Bytes &stream, std::vector<std::size_t> sizes = {});

  /// When the queue is empty: an empty report (false) or nothing (true).
  bool silent = false;
  /// Read delay of the empty reports served when the queue is empty.
  std::uint32_t idle_delay = 0;
  /// Indices of writes (0-based, counting every write) that are refused.
  std::vector<std::size_t> refused_writes;

  std::vector<fake::Report> written;
  std::size_t reads = 0;

  /// The command frames of the data reports written, in order.
  std::vector<Bytes> frames() const;
  /// The control codes of the control reports written, in order.
  std::vector<std::uint8_t> controls() const;
  std::size_t polls() const;

 private:
  std::deque<Input> inputs_;
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_SCRIPTED_DEVICE_H
