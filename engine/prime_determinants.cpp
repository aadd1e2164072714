#include "engine/prime_determinants.hpp"

#include "diag/allocation.hpp"
#include "modular/prime_source.hpp"

#include <algorithm>

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

} // namespace velmora
