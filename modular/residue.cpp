#include "modular/residue.hpp"

#include <cassert>

namespace velmora {

residue inverse_mod(residue a, std::uint64_t p) {
    assert(a % p != 0);
    // Extended Euclid on (p, a): invariant r_k = s_k * a (mod p).
    std::int64_t r0 = static_cast<std::int64_t>(p), r1 = static_cast<std::int64_t>(a % p);
    std::int64_t s0 = 0, s1 = 1;
    while (r1 != 0) {
        const std::int64_t q = r0 / r1;
        const std::int64_t r2 = r0 - q * r1;
        r0 = r1;
        r1 = r2;
        const std::int64_t s2 = s0 - q * s1;
        s0 = s1;
        s1 = s2;
    }
    return static_cast<residue>(s0 < 0 ? s0 + static_cast<std::int64_t>(p) : s0);
}

} // namespace velmora
