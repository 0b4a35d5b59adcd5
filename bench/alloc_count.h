// Counts the heap allocations the calling thread makes.  A program that links
// alloc_count.cpp has its global allocation functions (operator new in every
// form and the malloc family) replaced by counting ones, so an allocation made
// anywhere, the shared library included, passes through the count.  Only the
// thread that asked is counted: an emulator serving on another thread does
// not disturb the figure.
#ifndef VELKOR_BENCH_ALLOC_COUNT_H
#define VELKOR_BENCH_ALLOC_COUNT_H

#include <cstddef>

namespace velkor::bench {

/// Counts the calling thread's allocations from construction on.
class AllocationCount {
 public:
  AllocationCount();
  ~AllocationCount();
  AllocationCount(const AllocationCount &) = delete;
  AllocationCount &operator=(const AllocationCount &) = delete;

  /// Allocations so far (frees are not subtracted).
  std::size_t count() const;

 private:
  std::size_t start_;
  bool was_counting_;
};

/// Holds the calling thread's count still while it lives: for work on the
/// counted thread that is not the library's, such as an in-process emulator.
class AllocationPause {
 public:
  AllocationPause();
  ~AllocationPause();
  AllocationPause(const AllocationPause &) = delete;
  AllocationPause &operator=(const AllocationPause &) = delete;

 private:
  bool was_counting_;
};

}  // namespace velkor::bench

#endif  // VELKOR_BENCH_ALLOC_COUNT_H
