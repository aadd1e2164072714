#include "reconstruct/remainder_tree.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/words.hpp"
#include "diag/thread_pool.hpp"
#include "modular/reduce_mod.hpp"
#include "modular/prime_source.hpp"

#include <algorithm>

namespace velmora {

namespace {

// Primes per leaf of the trees of residue_table: the leaf's remainder, a few words, is
// then reduced one prime at a time.
constexpr int primes_per_block = 32;
// Words of the longest integer from which, with this many primes, the trees pay.
constexpr std::uint32_t tree_words = 32;
constexpr int tree_primes = 128;

} // namespace

remainder_tree::remainder_tree(const big_int* moduli, int count) : count_(count), nodes_(2 * std::size_t(count)) {
    for (int s = 0; s < count; ++s) nodes_[std::size_t(count + s)] = moduli[s];
    for (int j = count - 1; j >= 1; --j) nodes_[j] = nodes_[2 * std::size_t(j)] * nodes_[2 * std::size_t(j) + 1];
}

remainder_tree::remainder_tree(const remainder_tree& other) : count_(other.count_), nodes_(other.nodes_.size()) {
    for (std::size_t j = 1; j < nodes_.size(); ++j) nodes_[j] = own_record(other.nodes_[j]);
}

void remainder_tree::remainders(const big_int& x, big_int* out, big_int* scratch) const {
    // scratch[j]: x mod nodes_[j]; the root's may stay x itself.
    scratch[1] = count_ == 1 ? x % nodes_[1] : x;
    for (int j = 2; j < 2 * count_; ++j) scratch[j] = scratch[j / 2] % nodes_[j];
    for (int s = 0; s < count_; ++s) out[s] = scratch[count_ + s];
}

bool residue_table::long_integers(const big_int* a, std::size_t count) {
    for (std::size_t e = 0; e < count; ++e)
        if (a[e].rep().len >= tree_words) return true;
    return false;
}

residue_table::residue_table(const big_int* a, std::size_t count, int primes)
    : a_(a), count_(count), table_(1) {
    if (primes < tree_primes || count == 0 || !long_integers(a, count)) return;
    const int blocks = (primes + primes_per_block - 1) / primes_per_block;
    made_ = blocks * primes_per_block;
    table_.resize(std::size_t(made_) * count);
    checked_buffer<big_int> block_products(blocks);
    for (int b = 0; b < blocks; ++b) {
        big_int product(1);
        for (int s = b * primes_per_block; s < (b + 1) * primes_per_block; ++s) {
            const std::uint64_t p = engine_prime(s);
            product = product * big_int_from_words64(1, &p, 1);
        }
        block_products[b] = product;
    }
    const remainder_tree tree(block_products.data(), blocks);
    // The integers in one share per thread, each with a tree of its own records.
    const std::size_t shares = std::max<std::size_t>(1, std::min<std::size_t>(count, std::size_t(thread_count())));
    parallel_for(shares, [&](std::size_t share) {
        const remainder_tree own(tree);
        checked_buffer<big_int> remainders(blocks), scratch(2 * std::size_t(blocks));
        for (std::size_t e = count * share / shares; e < count * (share + 1) / shares; ++e) {
            const big_int_rep& r = a[e].rep();
            const big_int magnitude = copied_value(1, r.digits, r.len);
            own.remainders(magnitude, remainders.data(), scratch.data());
            for (int b = 0; b < blocks; ++b)
                for (int s = b * primes_per_block; s < (b + 1) * primes_per_block; ++s) {
                    const std::uint64_t p = engine_prime(s);
                    const residue v = reduce_mod(remainders[b], p);
                    table_[std::size_t(s) * count + e] = r.sign < 0 && v != 0 ? p - v : v;
                }
        }
    });
}

void residue_table::residues(int index, residue* out) const {
    if (index < made_) {
        std::copy_n(table_.data() + std::size_t(index) * count_, count_, out);
        return;
    }
    reduce_mod_all(a_, count_, engine_prime(index), out);
}

} // namespace velmora
