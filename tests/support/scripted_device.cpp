#include "tests/support/scripted_device.h"

#include <algorithm>
#include <cstring>

#include "protocol/crc.h"

namespace velkor::test {

Bytes with_crc(Bytes bytes) {
  const std::uint16_t crc = crc16(bytes.data(), bytes.size());
  bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
  bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
  return bytes;
}

Bytes reply_frame(std::uint8_t address, std::uint8_t echo, std::uint8_t status,
                  const Bytes &data) {
  Bytes f = {static_cast<std::uint8_t>(data.size() + 5), address, echo, status};
  f.insert(f.end(), data.begin(), data.end());
  return with_crc(f);
}

Bytes concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes &p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

fake::Report input_report(const Bytes &payload,
                          std::optional<std::uint8_t> count) {
  fake::Report r{};
  r[0] = 0x01;
  r[1] = count ? *count : static_cast<std::uint8_t>(payload.size());
  std::copy_n(payload.begin(), std::min<std::size_t>(payload.size(), 62),
              r.begin() + 2);
  return r;
}

int ScriptedDevice::write(const fake::Report &report) {
  const std::size_t index = written.size();
  written.push_back(report);
  const bool refused = std::find(refused_writes.begin(), refused_writes.end(),
                                 index) != refused_writes.end();
  return refused ? 0 : 64;
}

std::optional<std::uint32_t> ScriptedDevice::read(fake::Report &report) {
  ++reads;
  if (inputs_.empty()) {
    if (silent) return std::nullopt;
    report = input_report({});
    return idle_delay;
  }
  Input in = inputs_.front();
  inputs_.pop_front();
  report = in.report;
  return in.delay;
}

void ScriptedDevice::push(const fake::Report &report, std::uint32_t delay) {
  inputs_.push_back({report, delay});
}

void ScriptedDevice::push_nothing() { inputs_.push_back({{}, std::nullopt}); }

void ScriptedDevice::push_stream(const Bytes &stream,
                                 std::vector<std::size_t> sizes) {
  if (sizes.empty()) sizes.push_back(62);
  std::size_t at = 0, k = 0;
  while (at < stream.size()) {
    const std::size_t n =
        std::min(sizes[std::min(k, sizes.size() - 1)], stream.size() - at);
    push(input_report(Bytes(stream.begin() + at, stream.begin() + at + n)));
    at += n;
    ++k;
  }
}

std::vector<Bytes> ScriptedDevice::frames() const {
  std::vector<Bytes> out;
  for (const auto &r : written)
    if (r[0] == 0x02) out.emplace_back(r.begin() + 2, r.begin() + 2 + r[1]);
  return out;
}

std::vector<std::uint8_t> ScriptedDevice::controls() const {
  std::vector<std::uint8_t> out;
  for (const auto &r : written)
    if (r[0] == 0x03) out.push_back(r[1]);
  return out;
}

std::size_t ScriptedDevice::polls() const {
  const auto c = controls();
  return static_cast<std::size_t>(std::count(c.begin(), c.end(), 0x0A));
}

}  // namespace velkor::test
