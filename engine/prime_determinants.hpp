// Determinants of a square integer matrix modulo the consecutive primes of the engine's
// sequence, for the results that Chinese remaindering assembles from them.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"
#include "modular/modular_lu.hpp"
#include "reconstruct/prime_batches.hpp"
#include "reconstruct/remainder_tree.hpp"

#include <cstddef>

namespace velmora {

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

} // namespace velmora
