// Residues made at once down remainder trees against one prime at a time: long values of
// both signs, zeros and short ones among them, at one thread and at several.
#include "reconstruct/remainder_tree.hpp"

#include "bigint/words.hpp"
#include "diag/thread_pool.hpp"
#include "modular/reduce_mod.hpp"
#include "modular/prime_source.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velmora {
namespace {

TEST(ResidueTable, AgreesWithOnePrimeAtATime) {
    const std::uint64_t seed = seed_from_environment(29);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    std::vector<big_int> values;
    for (int e = 0; e < 40; ++e) {
        std::vector<std::uint64_t> w(e % 5 == 0 ? 1 + gen() % 3 : 30 + gen() % 300);
        for (auto& x : w) x = gen();
        values.push_back(e % 7 == 3 ? big_int() : big_int_from_words64(gen() % 2 ? 1 : -1, w.data(), w.size()));
    }
    for (int threads : {1, 3}) {
        set_thread_count(threads);
        const int primes = 300;
        const residue_table table(values.data(), values.size(), primes);
        std::vector<residue> got(values.size()), want(values.size());
        for (int index : {0, 1, 31, 32, 299, primes + 40}) {  // the last beyond those made at once
            table.residues(index, got.data());
            reduce_mod_all(values.data(), values.size(), engine_prime(index), want.data());
            ASSERT_EQ(got, want) << "prime " << index << ", " << threads << " threads";
        }
    }
    set_thread_count(1);
}

} // namespace
} // namespace velmora
