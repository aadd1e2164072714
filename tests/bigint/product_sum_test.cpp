// Sums of products in word arrays against the same sums of big_int values, on random
// factors of mixed lengths and signs, zeros included, and sums that cancel exactly.
#include "bigint/product_sum.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/words.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace velmora {
namespace {

big_int random_value(std::mt19937_64& gen, int max_words) {
    std::vector<std::uint64_t> w(1 + gen() % max_words);
    for (auto& x : w) x = gen() % 4 == 0 ? ~std::uint64_t(0) : gen();
    if (gen() % 8 == 0) return big_int();
    return big_int_from_words64(gen() % 2 ? 1 : -1, w.data(), w.size());
}

TEST(ProductSum, MatchesTheSumOfBigIntProducts) {
    const std::uint64_t seed = seed_from_environment(3);
    SCOPED_TRACE(seed_trace(seed));
    std::mt19937_64 gen(seed);
    for (int run = 0; run < 400; ++run) {
        const int terms = 1 + int(gen() % 12), max_words = 1 + int(gen() % 6);
        product_sum sum(product_sum_words(std::size_t(max_words), std::size_t(max_words), std::size_t(terms) + 1));
        big_int expected;
        std::vector<big_int> xs, ys;
        for (int t = 0; t < terms; ++t) {
            xs.push_back(random_value(gen, max_words));
            ys.push_back(random_value(gen, max_words));
            sum.add_product(xs.back(), ys.back());
            expected = expected + xs.back() * ys.back();
        }
        ASSERT_TRUE(sum.value() == expected) << "run " << run;
        ASSERT_EQ(sum.is_zero(), expected == big_int(0));
        // Taking the sum off again leaves exactly zero.
        sum.add_product(-expected, big_int(1));
        ASSERT_TRUE(sum.is_zero()) << "run " << run;
        ASSERT_TRUE(sum.value() == big_int(0));
        sum.clear();
        ASSERT_TRUE(sum.is_zero());
    }
}

} // namespace
} // namespace velmora
