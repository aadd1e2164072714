#include "engine/determinant.hpp"

#include "diag/checked_buffer.hpp"
#include "engine/padic_det.hpp"
#include "engine/prime_determinants.hpp"
#include "modular/prime_source.hpp"
#include "reconstruct/crt.hpp"
#include "reconstruct/minor_bound.hpp"

namespace velmora {

namespace {

// The determinant of the leading m-by-m block of a (m <= n), from enough primes that
// their product exceeds twice a bound on it. Every prime serves: a singular image is a
// determinant that vanishes modulo it.
big_int leading_minor(const big_int* a, int m, int n) {
    checked_buffer<int> lead(m);
    for (int j = 0; j < m; ++j) lead[j] = j;
    const int k = primes_for_bits(minor_bounds(a, m, n, lead.data(), m).bits(m) + 1);
    checked_buffer<residue> residues(k);
    checked_buffer<std::uint64_t> primes(k);
    block_determinants images(a, m, std::size_t(n), k);
    for (int s = 0; s < k; ++s) primes[s] = images.next(residues[s]);
    big_int d;
    reconstruct_symmetric(residues.data(), primes.data(), k, 1, &d);
    return d;
}

} // namespace

bool padic_pays(const big_int* a, int m, std::size_t stride) {
    if (m < padic_threshold) return false;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j)
            if (padic_rows_per_entry_word * long(a[std::size_t(i) * stride + j].rep().len) >= m) return false;
    return true;
}

big_int leading_determinant(const big_int* a, int m, int n, side_work beside) {
    big_int d;
    if (padic_pays(a, m, std::size_t(n))) {
        const bool found = padic_determinant(a, m, std::size_t(n), d, beside);
        if (found) return d;
    } else {
        beside();
    }
    return leading_minor(a, m, n);
}

} // namespace velmora
