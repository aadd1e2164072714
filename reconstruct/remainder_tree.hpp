// Remainders of long integers modulo many moduli at once, down a product tree of the
// moduli: O(M(n) log k) with fast division, where taking the moduli one at a time costs
// O(n k). Used for entries of thousands of words against thousands of primes.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"
#include "modular/residue.hpp"

#include <cstddef>

namespace velmora {

class remainder_tree {
public:
    // Over the count >= 1 positive moduli.
    remainder_tree(const big_int* moduli, int count);
    // A tree of its own records with the same values, for use on another thread (an
    // operation may return a copy of an operand, and references are counted per thread).
    remainder_tree(const remainder_tree& other);
    remainder_tree& operator=(const remainder_tree&) = delete;

    int leaves() const { return count_; }
    // Node j: 1 is the root (the product of all the moduli), node j has children 2j and
    // 2j + 1, the leaves are count .. 2 count - 1 (moduli[0] .. moduli[count - 1]).
    const big_int& node(std::size_t j) const { return nodes_[j]; }
    const big_int& product() const { return nodes_[1]; }

    // out[s] = x mod moduli[s] for every s, for x >= 0. scratch holds 2 count values.
    void remainders(const big_int& x, big_int* out, big_int* scratch) const;

private:
    // Node 1 is the root, node j has children 2j and 2j + 1, leaves count .. 2 count - 1.
    int count_;
    checked_buffer<big_int> nodes_;
};

// The residues of many integers modulo the first primes of the engine's sequence: made at
// once, by remainder trees over blocks of primes and the threads, when the integers are
// long and the primes many; else one prime at a time when asked for.
class residue_table {
public:
    // For the count integers at a, and about `primes` primes (a hint: more are served too).
    residue_table(const big_int* a, std::size_t count, int primes);

    // Whether integers this long are worth the trees (else the hint is not looked at).
    static bool long_integers(const big_int* a, std::size_t count);

    // out[e] = a[e] mod engine_prime(index) for e < count.
    void residues(int index, residue* out) const;

private:
    const big_int* a_;
    std::size_t count_;
    int made_ = 0;                 // primes whose residues are in table_
    checked_buffer<residue> table_;  // table_[index * count + e]
};

} // namespace velmora
