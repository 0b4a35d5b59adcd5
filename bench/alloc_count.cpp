// The counting allocation functions.  They forward to glibc's own allocator
// (its __libc_* entry points), so memory from either side may be released by
// the other, and count on the calling thread only.
#include "bench/alloc_count.h"

#include <cerrno>
#include <cstdint>
#include <new>

extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *block, std::size_t size);
void *__libc_memalign(std::size_t alignment, std::size_t size);
void *__libc_valloc(std::size_t size);
void *__libc_pvalloc(std::size_t size);
void __libc_free(void *block);
}

namespace {

// Plain thread-locals of the program itself: reading them calls nothing, so
// they are safe to touch from inside malloc.
thread_local bool counting = false;
thread_local std::size_t allocations = 0;

void note() {
  if (counting) ++allocations;
}

void *checked(void *block) {
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void *new_block(std::size_t size) {
  note();
  return __libc_malloc(size == 0 ? 1 : size);
}

void *new_aligned(std::size_t size, std::align_val_t alignment) {
  note();
  return __libc_memalign(static_cast<std::size_t>(alignment), size == 0 ? 1 : size);
}

}  // namespace

namespace velkor::bench {

AllocationCount::AllocationCount() : start_(allocations), was_counting_(counting) {
  counting = true;
}
AllocationCount::~AllocationCount() { counting = was_counting_; }
std::size_t AllocationCount::count() const { return allocations - start_; }

AllocationPause::AllocationPause() : was_counting_(counting) { counting = false; }
AllocationPause::~AllocationPause() { counting = was_counting_; }

}  // namespace velkor::bench

// ------------------------------------------------------------ malloc family

extern "C" {

void *malloc(std::size_t size) noexcept {
  note();
  return __libc_malloc(size);
}

void *calloc(std::size_t count, std::size_t size) noexcept {
  note();
  return __libc_calloc(count, size);
}

void *realloc(void *block, std::size_t size) noexcept {
  note();
  return __libc_realloc(block, size);
}

void free(void *block) noexcept { __libc_free(block); }

void *memalign(std::size_t alignment, std::size_t size) noexcept {
  note();
  return __libc_memalign(alignment, size);
}

void *aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  note();
  return __libc_memalign(alignment, size);
}

int posix_memalign(void **block, std::size_t alignment, std::size_t size) noexcept {
  if (alignment < sizeof(void *) || (alignment & (alignment - 1)) != 0) return EINVAL;
  note();
  void *p = __libc_memalign(alignment, size);
  if (p == nullptr) return ENOMEM;
  *block = p;
  return 0;
}

void *valloc(std::size_t size) noexcept {
  note();
  return __libc_valloc(size);
}

void *pvalloc(std::size_t size) noexcept {
  note();
  return __libc_pvalloc(size);
}

}  // extern "C"

// ------------------------------------------------------------ operator new

void *operator new(std::size_t size) { return checked(new_block(size)); }
void *operator new[](std::size_t size) { return checked(new_block(size)); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  return new_block(size);
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
  return new_block(size);
}
void *operator new(std::size_t size, std::align_val_t alignment) {
  return checked(new_aligned(size, alignment));
}
void *operator new[](std::size_t size, std::align_val_t alignment) {
  return checked(new_aligned(size, alignment));
}
void *operator new(std::size_t size, std::align_val_t alignment,
                   const std::nothrow_t &) noexcept {
  return new_aligned(size, alignment);
}
void *operator new[](std::size_t size, std::align_val_t alignment,
                     const std::nothrow_t &) noexcept {
  return new_aligned(size, alignment);
}

void operator delete(void *block) noexcept { __libc_free(block); }
void operator delete[](void *block) noexcept { __libc_free(block); }
void operator delete(void *block, std::size_t) noexcept { __libc_free(block); }
void operator delete[](void *block, std::size_t) noexcept { __libc_free(block); }
void operator delete(void *block, const std::nothrow_t &) noexcept { __libc_free(block); }
void operator delete[](void *block, const std::nothrow_t &) noexcept { __libc_free(block); }
void operator delete(void *block, std::align_val_t) noexcept { __libc_free(block); }
void operator delete[](void *block, std::align_val_t) noexcept { __libc_free(block); }
void operator delete(void *block, std::size_t, std::align_val_t) noexcept {
  __libc_free(block);
}
void operator delete[](void *block, std::size_t, std::align_val_t) noexcept {
  __libc_free(block);
}
void operator delete(void *block, std::align_val_t, const std::nothrow_t &) noexcept {
  __libc_free(block);
}
void operator delete[](void *block, std::align_val_t, const std::nothrow_t &) noexcept {
  __libc_free(block);
}
