// Counts every call of operator new in the test program whose one source
// file includes this header: the global allocation functions are replaced.
#pragma once

#include <cstdlib>
#include <new>

namespace kxtest {
inline long allocations = 0;
}  // namespace kxtest

void* operator new(std::size_t size) {
  ++kxtest::allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
