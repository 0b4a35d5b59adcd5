#include "fuzz/fuzz_input.h"

#include <algorithm>

#include "protocol/crc.h"

namespace velkor::fuzz {

namespace {

constexpr std::size_t kPayload = 62;
constexpr std::uint8_t kFirstSilent = 0xC0;
constexpr std::uint8_t kFirstLate = 0xD0;
constexpr std::uint8_t kLongCount = 0xE0;
constexpr std::uint32_t kLateStepMs = 16;

}  // namespace

std::uint32_t InputReader::u32() {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(u8()) << (8 * i);
  return v;
}

CommandInput read_command(InputReader &in) {
  const auto &rows = test::command_rows();
  CommandInput command{in.u8() % rows.size(), {}};
  test::Scalars &s = command.setup.scalars;
  s.address = in.u8();
  s.words = in.u8();
  s.word_count = in.u8();
  s.mask_len = in.u8();
  s.byte_count = in.u8();
  for (std::uint8_t &p : s.p) p = in.u8();
  for (const test::BlockShape &shape : rows[command.row].inputs) {
    Bytes content(shape.size(s));
    for (std::uint8_t &b : content) b = in.u8();
    command.setup.inputs.push_back(std::move(content));
  }
  return command;
}

void write_command(const CommandInput &command, Bytes &out) {
  const test::Scalars &s = command.setup.scalars;
  out.push_back(static_cast<std::uint8_t>(command.row));
  out.insert(out.end(), {s.address, s.words, s.word_count, s.mask_len, s.byte_count});
  out.insert(out.end(), s.p.begin(), s.p.end());
  const auto &inputs = test::command_rows()[command.row].inputs;
  for (std::size_t k = 0; k < inputs.size(); ++k) {
    Bytes content(inputs[k].size(s));
    if (k < command.setup.inputs.size())
      std::copy_n(command.setup.inputs[k].begin(),
                  std::min(content.size(), command.setup.inputs[k].size()), content.begin());
    out.insert(out.end(), content.begin(), content.end());
  }
}

std::optional<fake::Report> read_report(InputReader &in, std::uint32_t *delay_ms) {
  fake::Report report{};
  report[0] = 0x01;
  if (in.done()) return report;
  std::uint8_t h = in.u8();
  if (h >= kFirstLate && h < kLongCount) {
    if (delay_ms != nullptr) *delay_ms = (h - kFirstLate + 1u) * kLateStepMs;
    h = in.u8();
  }
  if (h >= kFirstSilent && h < kLongCount) return std::nullopt;
  report[1] = h < kFirstSilent ? h : in.u8();
  const std::size_t n = std::min<std::size_t>(report[1], kPayload);
  for (std::size_t i = 0; i < n; ++i) report[2 + i] = in.u8();
  return report;
}

void write_report(const fake::Report &report, Bytes &out) {
  if (report[1] >= kFirstSilent) out.push_back(kLongCount);
  out.push_back(report[1]);
  const std::size_t n = std::min<std::size_t>(report[1], kPayload);
  out.insert(out.end(), report.begin() + 2, report.begin() + 2 + n);
}

void write_u32(std::uint32_t value, Bytes &out) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void FrameSealer::seal(std::uint8_t *bytes, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (at_ == 0) {
      length_ = bytes[i];
      crc_ = kCrcPreset;
    }
    // Frames too short to carry a CRC after their length byte stay as sent.
    if (length_ >= 3 && at_ == length_ - 1) bytes[i] = static_cast<std::uint8_t>(crc_ & 0xFF);
    if (length_ >= 3 && at_ == length_) bytes[i] = static_cast<std::uint8_t>(crc_ >> 8);
    if (at_ + 1 < length_) crc_ = crc16_update(crc_, bytes + i, 1);
    at_ = at_ == length_ ? 0 : at_ + 1;
  }
}

int ReportDevice::write(const fake::Report &) {
  const unsigned k = writes_++;
  return k < 8 && (refused_ >> k) & 1u ? 0 : 64;
}

std::optional<std::uint32_t> ReportDevice::read(fake::Report &report) {
  std::uint32_t delay = 0;
  const std::optional<fake::Report> next = read_report(in_, &delay);
  if (!next) return std::nullopt;
  report = *next;
  const std::size_t n = std::min<std::size_t>(report[1], kPayload);
  if (seal_) sealer_.seal(report.data() + 2, n);
  delivered_.insert(delivered_.end(), report.begin() + 2, report.begin() + 2 + n);
  return delay;
}

}  // namespace velkor::fuzz
