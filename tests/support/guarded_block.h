// A heap block of exactly the size a caller promises the library, filled with
// a sentinel, optionally followed by guard bytes.  Under AddressSanitizer any
// access past the block (with no guard) is reported at once; in any build a
// changed guard byte shows a write past the block.
#ifndef VELKOR_TESTS_GUARDED_BLOCK_H
#define VELKOR_TESTS_GUARDED_BLOCK_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace velkor::test {

class GuardedBlock {
 public:
  static constexpr std::uint8_t kGuardByte = 0xA7;

  GuardedBlock(std::size_t size, std::uint8_t fill, std::size_t guard = 0)
      : size_(size), guard_(guard), bytes_(new std::uint8_t[size + guard]) {
    std::fill_n(bytes_.get(), size, fill);
    std::fill_n(bytes_.get() + size, guard, kGuardByte);
  }

  std::uint8_t *data() { return bytes_.get(); }
  const std::uint8_t *data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }

  /// Whether every byte still holds fill.
  bool holds(std::uint8_t fill) const {
    return std::all_of(data(), data() + size_, [fill](std::uint8_t b) { return b == fill; });
  }
  /// Whether no byte past the block was written.
  bool guard_intact() const {
    return std::all_of(data() + size_, data() + size_ + guard_,
                       [](std::uint8_t b) { return b == kGuardByte; });
  }

 private:
  std::size_t size_;
  std::size_t guard_;
  std::unique_ptr<std::uint8_t[]> bytes_;
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_GUARDED_BLOCK_H
