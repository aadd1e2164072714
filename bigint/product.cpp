#include "bigint/arithmetic.hpp"

#include <vector>

namespace velmora {

big_int product(const big_int* factors, std::size_t n) {
    if (n == 0) return big_int(1);
    std::vector<big_int> level(factors, factors + n);
    // Each pass multiplies neighbours; an odd one out moves up unchanged.
    while (level.size() > 1) {
        std::size_t k = 0;
        for (std::size_t i = 0; i + 1 < level.size(); i += 2) level[k++] = level[i] * level[i + 1];
        if (level.size() % 2 != 0) level[k++] = level.back();
        level.resize(k);
    }
    return level[0];
}

} // namespace velmora
