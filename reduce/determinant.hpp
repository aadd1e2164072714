// Determinants and ranks of integer matrices from word-size primes, for the results that
// need no elimination beyond them.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"
#include "reduce/modular_lu.hpp"
#include "reduce/padic_det.hpp"
#include "reduce/prime_batches.hpp"
#include "reduce/remainder_tree.hpp"

#include <cstddef>

namespace velmora {

// Rows from which a determinant may be found by a p-adic solution rather than by primes
// alone.
constexpr int padic_threshold = 16;

// Whether the determinant of the leading m-by-m block of a (row stride `stride`) is found
// faster by a p-adic solution: from padic_threshold rows, with entries of fewer than m / 3
// words. Its lifting takes some 2k steps of m^2 products of an entry by a word where primes
// alone take k factorisations of m^3 / 3 products, k the primes to cover the bound: it
// pays while the words of an entry stay below about a third of m.
bool padic_pays(const big_int* a, int m, std::size_t stride);

// The rank of the m-by-n matrix a (row-major) modulo the first prime of the sequence: a
// lower bound on its rank, and the rank itself when it is min(m, n).
int first_prime_rank(const big_int* a, int m, int n);

// The determinants of the leading n-by-n block of a (row stride `stride`) modulo the
// consecutive primes of the engine's sequence, a batch at a time over the threads.
class block_determinants {
public:
    // primes: about how many will be asked for (a hint for the residues of long entries).
    block_determinants(const big_int* a, int n, std::size_t stride, int primes);

    // The next prime of the sequence; det gets the determinant modulo it.
    std::uint64_t next(residue& det);

private:
    struct image {
        explicit image(int n) : w(std::size_t(n) * n), lu(n, n) {}
        checked_buffer<residue> w;
        modular_lu lu;
        std::uint64_t p = 0;
    };
    struct make {
        int n;
        image* operator()() const;
    };
    struct fill {
        const residue_table* table;
        void operator()(image& x, int index) const;
    };

    // The block as an n-by-n array (for the residue table, made from it).
    static const big_int* copy_block(const big_int* a, int n, std::size_t stride, big_int* block);

    checked_buffer<big_int> block_;
    residue_table table_;
    prime_batches<image, make, fill> images_;
};

// The determinant of the leading m-by-m block of a (m <= n): by one p-adic solution and
// few primes where that pays, else (or when the block is singular modulo the first primes)
// from primes alone. beside runs once, on another thread where the p-adic solution
// leaves one free (see padic_determinant), else before the primes.
big_int leading_determinant(const big_int* a, int m, int n, side_work beside = {});

} // namespace velmora
