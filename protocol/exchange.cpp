#include "protocol/exchange.h"

#include <cstring>

#include "link/platform.h"
#include "link/report.h"
#include "protocol/crc.h"

namespace velkor {

namespace {
constexpr std::size_t kCrcSize = 2;
}

Frame::Frame(std::uint8_t *address, std::uint8_t command)
    : address_(address), command_(command) {
  bytes_[0] = 0;  // length, set by close()
  bytes_[1] = *address;
  bytes_[2] = command;
  size_ = 3;
}

Frame Frame::raw(std::uint8_t *address, std::uint8_t byte) {
  Frame frame;
  frame.address_ = address;
  frame.command_ = byte;
  frame.raw_ = true;
  frame.bytes_[0] = byte;
  frame.size_ = 1;
  return frame;
}

Frame &Frame::u8(unsigned value) {
  const std::uint8_t b = static_cast<std::uint8_t>(value);
  return bytes(&b, 1);
}

Frame &Frame::bytes(const void *source, std::size_t n) {
  if (!fits_ || n > sizeof bytes_ - kCrcSize - size_) {
    fits_ = false;
    return *this;
  }
  if (n > 0) std::memcpy(bytes_ + size_, source, n);
  size_ += n;
  return *this;
}

Frame &Frame::mask(const Mask &m) {
  u8(m.bank);
  bytes(m.address, 2);
  u8(m.bits);
  return bytes(m.bytes, m.byte_count());
}

bool Frame::close() {
  if (!fits_) return false;
  if (raw_) return true;
  bytes_[0] = static_cast<std::uint8_t>(size_ + kCrcSize - 1);
  const std::uint16_t crc = crc16(bytes_, size_);
  bytes_[size_] = static_cast<std::uint8_t>(crc & 0xFF);
  bytes_[size_ + 1] = static_cast<std::uint8_t>(crc >> 8);
  size_ += kCrcSize;
  return true;
}

Reply::Reply() { std::memset(bytes_, 0, sizeof bytes_); }

void Reply::copy(std::size_t from, void *dest, std::size_t n) const {
  auto *out = static_cast<std::uint8_t *>(dest);
  const std::size_t end = data_end();
  const std::size_t inside = from < end ? end - from : 0;
  const std::size_t taken = n < inside ? n : inside;
  if (taken > 0) std::memcpy(out, bytes_ + from, taken);
  if (n > taken) std::memset(out + taken, 0, n - taken);
}

Outcome transact(Frame &frame, VelkorHandle handle, const Rules &rules,
                 Reply &reply) {
  if (!frame.close()) return {Outcome::kRefused, STATUS_PARAMETER_ERROR};
  // Reports already waiting answer no poll of this exchange: a reply that
  // came too late for an earlier call would otherwise pass for this one's.
  if (handle != VELKOR_INVALID_HANDLE) platform::discard_input(handle);
  if (rules.begin && !send_control(handle, CTRL_BEGIN))
    return {Outcome::kNotBegun, STATUS_COMM_ERROR};
  // A frame that was not written shows up as a failed collection.
  SendDataToPort(frame.data(), static_cast<unsigned>(frame.size()), handle);
  const int collected = rules.collect(reply.buffer(), reply.count_slot(), handle);
  if (collected != STATUS_OK) return {Outcome::kNotCollected, collected};
  if (rules.check_crc && crc16(reply.bytes(), reply.count()) != 0)
    return {Outcome::kRejected, STATUS_CRC_ERROR};
  if (rules.check_echo) {
    const std::uint8_t echo = reply.byte(2);
    if (echo != frame.command() && static_cast<int>(echo) != rules.alt_echo)
      return {Outcome::kRejected, STATUS_COMMAND_MISMATCH};
  }
  return {Outcome::kAnswered, reply.status()};
}

}  // namespace velkor
