// Big-endian bit fields over a byte array: bit 0 is the top bit of byte 0,
// as in the EPC bank.
#ifndef VELKOR_EPC_BITS_H
#define VELKOR_EPC_BITS_H

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace velkor::epc {

/// Reads from a copy of at most VELKOR_EPC_BYTES_MAX bytes, zero-padded, so
/// that a field is one 64-bit load and shift whatever its position.
class BitReader {
 public:
  BitReader(const std::uint8_t *bytes, std::size_t length) {
    std::memcpy(bytes_, bytes, length < kRoom ? length : kRoom);
  }

  /// The next n bits (n <= 64) as an unsigned value.
  std::uint64_t get(unsigned n) {
    if (n > 56) {
      const std::uint64_t high = get(n - 32);
      return (high << 32) | get(32);
    }
    if (n == 0) return 0;
    std::uint64_t window;
    std::memcpy(&window, bytes_ + position_ / 8, sizeof window);
    if constexpr (std::endian::native == std::endian::little) window = __builtin_bswap64(window);
    const std::uint64_t value = (window << (position_ % 8)) >> (64 - n);
    position_ += n;
    return value;
  }

  std::size_t position() const { return position_; }

 private:
  static constexpr std::size_t kRoom = 32;
  std::uint8_t bytes_[kRoom + 8] = {};
  std::size_t position_ = 0;
};

/// Writes into zeroed bytes.
class BitWriter {
 public:
  explicit BitWriter(std::uint8_t *bytes) : bytes_(bytes) {}

  /// Appends the low n bits (n <= 64) of value.
  void put(std::uint64_t value, unsigned n) {
    while (n > 0) {
      const unsigned used = position_ % 8;
      const unsigned take = n < 8 - used ? n : 8 - used;
      const unsigned chunk = static_cast<unsigned>(value >> (n - take)) & ((1u << take) - 1);
      bytes_[position_ / 8] = static_cast<std::uint8_t>(bytes_[position_ / 8] |
                                                        (chunk << (8 - used - take)));
      position_ += take;
      n -= take;
    }
  }

  std::size_t position() const { return position_; }

 private:
  std::uint8_t *bytes_;
  std::size_t position_ = 0;
};

}  // namespace velkor::epc

#endif  // VELKOR_EPC_BITS_H
