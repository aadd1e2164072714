#include "random_entries.hpp"

namespace velmora {

std::vector<big_int> random_entries(std::mt19937_64& gen, std::size_t count, std::uint32_t p) {
    std::vector<big_int> a(count);
    const int kind = int(gen() % 4);
    for (auto& x : a) {
        const long v = kind == 0 ? long(gen() % 19) - 9 : kind == 1 ? long(gen() % 3) : long(gen() % (2 * p)) - long(p);
        x = big_int(int(v));
        // Entries of several words: products of factors below 2^30.
        if (kind == 3 && gen() % 3 == 0)
            x = x * big_int(int(gen() >> 34)) * big_int(int(gen() >> 34)) * big_int(int(gen() >> 34)) + big_int(7);
    }
    return a;
}

} // namespace velmora
