#include "reduce/determinant.hpp"

#include "diag/allocation.hpp"
#include "diag/checked_buffer.hpp"
#include "reduce/crt.hpp"
#include "reduce/minor_bound.hpp"
#include "reduce/modular_echelon.hpp"
#include "reduce/modular_lu.hpp"
#include "reduce/padic_det.hpp"
#include "reduce/prime_batches.hpp"
#include "reduce/prime_source.hpp"
#include "reduce/remainder_tree.hpp"

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
    struct image {
        explicit image(int m) : w(std::size_t(m) * m), lu(m, m) {}
        checked_buffer<residue> w;
        modular_lu lu;
        std::uint64_t p = 0;
        residue det = 0;
    };
    checked_buffer<big_int> block(std::size_t(m) * m);
    for (int i = 0; i < m; ++i)
        std::copy(a + std::size_t(i) * n, a + std::size_t(i) * n + m, block.data() + std::size_t(i) * m);
    const residue_table table(block.data(), block.size(), k);
    auto images = make_prime_batches<image>([&] { return allocate_object<image>(m); },
                                            [&](image& x, int index) {
                                                const std::uint64_t p = engine_prime(index);
                                                x.p = p;
                                                table.residues(index, x.w.data());
                                                const residue product =
                                                    x.lu.factor(x.w.data(), p) < m ? 0 : x.lu.pivot_product();
                                                x.det = product != 0 && permutation_sign(x.lu.pivot_rows(), m) < 0
                                                            ? p - product
                                                            : product;
                                            });
    for (int s = 0; s < k; ++s) {
        const image& x = images.next();
        residues[s] = x.det;
        primes[s] = x.p;
    }
    big_int d;
    reconstruct_symmetric(residues.data(), primes.data(), k, 1, &d);
    return d;
}

} // namespace

int first_prime_rank(const big_int* a, int m, int n) {
    const std::uint64_t p = engine_prime(0);
    checked_buffer<residue> w(std::size_t(m) * n);
    reduce_mod_all(a, w.size(), p, w.data());
    modular_lu lu(m, n);
    return lu.factor(w.data(), p);
}

bool padic_pays(const big_int* a, int m, std::size_t stride) {
    if (m < padic_threshold) return false;
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j)
            if (3 * long(a[std::size_t(i) * stride + j].rep().len) >= m) return false;
    return true;
}

big_int leading_determinant(const big_int* a, int m, int n) {
    big_int d;
    if (padic_pays(a, m, std::size_t(n)) && padic_determinant(a, m, std::size_t(n), d)) return d;
    return leading_minor(a, m, n);
}

} // namespace velmora
