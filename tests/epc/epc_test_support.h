// Hex and element-string helpers shared by the codec's tests.
#ifndef VELKOR_TESTS_EPC_TEST_SUPPORT_H
#define VELKOR_TESTS_EPC_TEST_SUPPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "velkor_epc.h"

namespace velkor::epc::test {

inline std::vector<std::uint8_t> bytes_of(const std::string &hex) {
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

inline std::string hex_of(const std::uint8_t *bytes, std::size_t length) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (std::size_t i = 0; i < length; ++i) {
    hex += digits[bytes[i] >> 4];
    hex += digits[bytes[i] & 0xF];
  }
  return hex;
}

}  // namespace velkor::epc::test

#endif  // VELKOR_TESTS_EPC_TEST_SUPPORT_H
