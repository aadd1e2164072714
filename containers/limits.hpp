// Size rules shared by vectors and matrices.
#pragma once

#include <climits>
#include <cstddef>

namespace velmora {

// Largest number of items of a vector, and of rows or of columns of a matrix.
inline constexpr int container_limit = 10000;

// Slot count of a storage grown from `capacity` by `step` slots, or 0 when that
// count would not fit an int (a request no allocation could satisfy anyway).
// Written so that no int arithmetic can overflow; step >= 1.
inline std::size_t grown_slot_count(int capacity, int step) {
    if (step > INT_MAX - capacity) return 0;
    return static_cast<std::size_t>(capacity) + static_cast<std::size_t>(step);
}

} // namespace velmora
