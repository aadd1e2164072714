#include "reduce/determinant.hpp"

#include "diag/allocation.hpp"
#include "diag/checked_buffer.hpp"
#include "reduce/crt.hpp"
#include "reduce/minor_bound.hpp"
#include "reduce/modular_lu.hpp"
#include "reduce/padic_det.hpp"
#include "reduce/prime_source.hpp"
#include "reduce/rank_profile.hpp"

namespace velmora {

const big_int* block_determinants::copy_block(const big_int* a, int n, std::size_t stride, big_int* block) {
    for (int i = 0; i < n; ++i)
        std::copy(a + std::size_t(i) * stride, a + std::size_t(i) * stride + n, block + std::size_t(i) * n);
    return block;
}

block_determinants::block_determinants(const big_int* a, int n, std::size_t stride, int primes)
    : block_(std::size_t(n) * n), table_(copy_block(a, n, stride, block_.data()), block_.size(), primes),
      images_(make{n}, fill{&table_}) {}

block_determinants::image* block_determinants::make::operator()() const { return allocate_object<image>(n); }

void block_determinants::fill::operator()(image& x, int index) const {
    x.p = engine_prime(index);
    table->residues(index, x.w.data());
    x.lu.factor(x.w.data(), x.p);
}

std::uint64_t block_determinants::next(residue& det) {
    const image& x = images_.next();
    det = x.lu.determinant();
    return x.p;
}

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

int first_prime_rank(const big_int* a, int m, int n) {
    rank_profile profile(m, n);
    first_prime_profile(a, m, n, profile);
    return profile.rank;
}

bool padic_pays(const big_int* a, int m, std::size_t stride) {
    if (m < padic_threshold) return false;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j)
            if (3 * long(a[std::size_t(i) * stride + j].rep().len) >= m) return false;
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
