#include "bigint/arithmetic.hpp"
#include "diag/checked_buffer.hpp"

namespace velmora {

big_int product(const big_int* factors, std::size_t n) {
    if (n == 0) return big_int(1);
    checked_buffer<big_int> level(n);
    for (std::size_t i = 0; i < n; ++i) level[i] = factors[i];
    // Each pass multiplies neighbours; an odd one out moves up unchanged.
    while (n > 1) {
        std::size_t k = 0;
        for (std::size_t i = 0; i + 1 < n; i += 2) level[k++] = level[i] * level[i + 1];
        if (n % 2 != 0) level[k++] = level[n - 1];
        n = k;
    }
    return level[0];
}

} // namespace velmora
