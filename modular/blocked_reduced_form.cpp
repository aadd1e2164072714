#include "modular/blocked_reduced_form.hpp"

#include <algorithm>
#include <cstddef>

namespace velmora {

blocked_reduced_form::blocked_reduced_form(int m, int n, bool with_q)
    : m_(m), n_(n), with_q_(with_q), square_(m, m), packed_(1), others_(std::max(1, n - m)) {}

bool blocked_reduced_form::make(double* w, const int* cols, std::uint32_t p, double* q) {
    const int m = m_, n = n_, width = n - m;
    for (int j = 0, t = 0, c = 0; j < n; ++j) {
        if (t < m && cols[t] == j) ++t;
        else others_[c++] = j;
    }
    packed_.reserve_uninitialised(std::size_t(m) * m);
    for (int i = 0; i < m; ++i)
        for (int t = 0; t < m; ++t) packed_[std::size_t(i) * m + t] = w[std::size_t(i) * n + cols[t]];
    if (square_.factor(packed_.data(), p) < m) return false;
    const int* rows = square_.pivot_rows();
    // Right-hand sides [W_N | I] with their rows in pivot order: row t is W_N's row rows[t]
    // and e_t. The solve gives X with W_P X = W_N (rows back in order), which is R_N, and
    // X' with W_P X' = the identity with row rows[t] moved to row t, so that column u of
    // X' is column rows[u] of W_P^-1: the layout of q.
    const int total = width + (with_q_ ? m : 0);
    packed_.reserve_uninitialised(std::max<std::size_t>(1, std::size_t(m) * total));
    for (int t = 0; t < m; ++t) {
        const double* from = w + std::size_t(rows[t]) * n;
        double* to = packed_.data() + std::size_t(t) * total;
        for (int c = 0; c < width; ++c) to[c] = from[others_[c]];
        if (with_q_)
            for (int u = 0; u < m; ++u) to[width + u] = u == t ? 1 : 0;
    }
    square_.solve_square(packed_.data(), std::size_t(total), total);
    for (int t = 0; t < m; ++t) {
        const double* x = packed_.data() + std::size_t(t) * total;
        double* row = w + std::size_t(rows[t]) * n;
        for (int c = 0; c < width; ++c) row[others_[c]] = x[c];
        for (int u = 0; u < m; ++u) row[cols[u]] = u == t ? 1 : 0;
        if (with_q_) std::copy(x + width, x + width + m, q + std::size_t(rows[t]) * m);
    }
    return true;
}

} // namespace velmora
