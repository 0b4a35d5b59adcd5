// A small deterministic generator (splitmix64): the same seed gives the same
// tag population and the same faults on every platform and standard library.
#ifndef VELKOR_EMULATOR_RNG_H
#define VELKOR_EMULATOR_RNG_H

#include <cstdint>

namespace velkor::emu {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  /// A value in [0, bound).
  std::uint32_t below(std::uint32_t bound) {
    return bound ? static_cast<std::uint32_t>(next() % bound) : 0;
  }
  std::uint8_t byte() { return static_cast<std::uint8_t>(next()); }

  /// Where the sequence stands, so that a saved reader goes on with it
  /// instead of making the same tags again.
  std::uint64_t state() const { return state_; }
  void restore(std::uint64_t state) { state_ = state; }

 private:
  std::uint64_t state_;
};

}  // namespace velkor::emu

#endif  // VELKOR_EMULATOR_RNG_H
