#include "bigint/big_int.hpp"
#include "support/shaped_operands.hpp"
#include "support/text_of.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace velmora {
namespace {

// The product tree gives the running product, for every count of factors and every shape.
TEST(Product, TreeEqualsRunningProduct) {
    const std::uint64_t seed = seed_from_environment(20240611);
    shaped_operands source(seed);
    for (int count = 0; count < 40 && !HasFailure(); ++count) {
        SCOPED_TRACE("VELMORA_SEED=" + std::to_string(seed) + ", count " + std::to_string(count));
        std::vector<big_int> factors;
        big_int running(1);
        for (int k = 0; k < count; ++k) {
            const words w = source.magnitude(count % 3 == 0 ? 60 : 6);
            factors.push_back(big_int(hex_literal(source.sign(), w).c_str()));
            running = running * factors.back();
        }
        EXPECT_EQ(text_of(product(factors.data(), factors.size()), 16), text_of(running, 16));
    }
    EXPECT_EQ(text_of(product(nullptr, 0)), "1");
}

} // namespace
} // namespace velmora
