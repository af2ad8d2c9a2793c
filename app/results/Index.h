// The position in a 0-based list of a number kept as int: species, reactions,
// rows and points are counted in int, the lists that hold them in size_t.
#pragma once

#include <cstddef>

namespace kx {

constexpr std::size_t At(int i) { return static_cast<std::size_t>(i); }

}  // namespace kx
