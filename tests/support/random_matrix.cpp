#include "random_matrix.hpp"

#include <algorithm>
#include <vector>

namespace velmora::testing {

matrix<big_int> random_matrix(std::mt19937& gen, int m, int n, int range, int zero_percent) {
    std::uniform_int_distribution<int> entry(-range, range);
    std::uniform_int_distribution<int> percent(0, 99);
    matrix<big_int> a(m, n);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) a(i, j) = percent(gen) < zero_percent ? big_int(0) : big_int(entry(gen));
    return a;
}

matrix<big_int> random_rank_matrix(std::mt19937& gen, int m, int n, int r, int range) {
    std::uniform_int_distribution<int> entry(-range, range);
    std::uniform_int_distribution<int> factor(-3, 3);
    matrix<big_int> a(m, n);
    for (int i = 0; i < r && i < m; ++i)
        for (int j = 0; j < n; ++j) a(i, j) = big_int(entry(gen));
    for (int i = r; i < m; ++i)
        for (int k = 0; k < r; ++k) {
            const big_int c(factor(gen));
            for (int j = 0; j < n; ++j) a(i, j) = a(i, j) + a(k, j) * c;
        }
    std::vector<int> order(m);
    for (int i = 0; i < m; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), gen);
    matrix<big_int> shuffled(m, n);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) shuffled(i, j) = a(order[i], j);
    return shuffled;
}

} // namespace velmora::testing
