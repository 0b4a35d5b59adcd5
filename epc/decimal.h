// Decimal digits of unsigned values, without the C library's formatting.
#ifndef VELKOR_EPC_DECIMAL_H
#define VELKOR_EPC_DECIMAL_H

#include <cstdint>
#include <string_view>

namespace velkor::epc {

/// 10 to the power n (n <= 19).
inline std::uint64_t power_of_ten(unsigned n) {
  static constexpr std::uint64_t kPowers[20] = {
      1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull,
      100000000ull, 1000000000ull, 10000000000ull, 100000000000ull, 1000000000000ull,
      10000000000000ull, 100000000000000ull, 1000000000000000ull, 10000000000000000ull,
      100000000000000000ull, 1000000000000000000ull, 10000000000000000000ull};
  return kPowers[n];
}

/// Writes value with at least min_digits digits (zeros in front) and a NUL;
/// out needs room for 21 bytes.  Returns the number of digits.  Two digits
/// a step: decoding spends most of its time here.
inline unsigned write_decimal(std::uint64_t value, unsigned min_digits, char *out) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  unsigned count = min_digits > 1 ? min_digits : 1;
  while (count < 20 && value >= power_of_ten(count)) ++count;
  out[count] = '\0';
  char *end = out + count;
  while (value >= 100) {
    const unsigned pair = static_cast<unsigned>(value % 100) * 2;
    value /= 100;
    *--end = kPairs[pair + 1];
    *--end = kPairs[pair];
  }
  if (value >= 10) {
    *--end = kPairs[value * 2 + 1];
    *--end = kPairs[value * 2];
  } else {
    *--end = static_cast<char>('0' + value);
  }
  while (end > out) *--end = '0';
  return count;
}

/// Reads an all-digit text; false when it would exceed 64 bits.
inline bool read_decimal(std::string_view digits, std::uint64_t *value) {
  std::uint64_t result = 0;
  for (char c : digits) {
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (result > (UINT64_MAX - digit) / 10) return false;
    result = result * 10 + digit;
  }
  *value = result;
  return true;
}

}  // namespace velkor::epc

#endif  // VELKOR_EPC_DECIMAL_H
