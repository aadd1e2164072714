#include "modular/lanes.hpp"

#include "diag/thread_pool.hpp"
#include "modular/prime_source.hpp"
#include "modular/reduce_mod.hpp"

#include <algorithm>
#include <climits>

namespace velmora {

namespace {

// Below this many products in a step over all lanes (lanes times rows times the step's
// columns), the lanes step on the calling thread: handing a step to the threads and
// waiting for them costs more than the step (measured on 100-by-100 matrices of rank 50:
// zerkint -b took 13 ms on one thread and 18 ms on two when every step went to the threads).
constexpr long parallel_step_products = 1L << 15;

// body(l) for every lane l < count, over the threads when the step is large enough.
template <class Body>
void for_each_lane(int count, long products, Body body) {
    if (products < parallel_step_products) {
        for (int l = 0; l < count; ++l) body(std::size_t(l));
        return;
    }
    parallel_for(std::size_t(count), body);
}

} // namespace

lanes::lanes(const big_int* a, int m, int n, const int* cols, int r, int count, bool started)
    : a_(a), m_(m), n_(n), cols_(cols), r_(r), count_(count), primes_(count), folds_(count), d_(count),
      w_(std::size_t(count) * m * r), u_(std::size_t(count) * r * r), step_of_row_(m), pivot_rows_(r),
      dead_(count) {
    for (int k = 0; k < m; ++k) step_of_row_[k] = INT_MAX;
    if (started)
        for (int l = 0; l < count; ++l) start(l, 0);
}

bool lanes::follow(const int* rows) {
    for (int t = 0; t < r_; ++t) {
        pivot_rows_[t] = rows[t];
        step_of_row_[rows[t]] = t;
    }
    parallel_for(std::size_t(count_), [&](std::size_t l) { dead_[l] = !run(int(l), engine_prime(int(l)), r_); });
    next_prime_ = count_;
    for (int l = 0; l < count_; ++l)
        for (int tries = 0; dead_[l]; ++tries) {
            if (tries == fresh_primes_tried) return false;
            dead_[l] = !run(l, engine_prime(next_prime_++), r_);
        }
    return true;
}

void lanes::prepare_column(int l, int t) {
    const residue* u_column = column(l, t);
    for (int k = 0; k < m_; ++k) {
        if (step_of_row_[k] < t) continue;
        residue* w = row(l, k);
        w[t] = sub_mod(w[t], dot_mod(w, u_column, t, folds_[l]), primes_[l]);
    }
}

void lanes::prepare_columns(int t) {
    for_each_lane(count_, long(count_) * m_ * (t + 1), [&](std::size_t l) { prepare_column(int(l), t); });
}

void lanes::combination_residues(int l, int k, int t, residue* out) const {
    const std::uint64_t p = primes_[l];
    const residue* multipliers = row(l, k);
    std::copy(multipliers, multipliers + t, out);
    // c L = l_k from the last entry down: once out[u] is c_u, its multiple of row u of L
    // (L(u, v) for v < u, the multipliers of pivot row s_u, side by side) leaves the
    // entries before it.
    for (int u = t; u-- > 1;) {
        if (out[u] == 0) continue;
        const shoup_factor minus_c = make_shoup_factor(p - out[u], p);
        const residue* l_row = row(l, pivot_rows_[u]);
        for (int v = 0; v < u; ++v) out[v] = add_mod(out[v], mul_shoup(l_row[v], minus_c, p), p);
    }
    const shoup_factor d = make_shoup_factor(d_[l], p);
    for (int v = 0; v < t; ++v) out[v] = mul_shoup(out[v], d, p);
}

void lanes::take(int k, int t) {
    pivot_rows_[t] = k;
    step_of_row_[k] = t;
    // The lanes step apart, over the threads; fresh primes are then drawn in lane order.
    for_each_lane(count_, long(count_) * (m_ + long(r_) * (t + 1)), [&](std::size_t l) { dead_[l] = !step(int(l), t); });
    for (int l = 0; l < count_; ++l)
        if (dead_[l]) start(l, t + 1);
}

void lanes::start(int l, int steps) {
    while (!run(l, engine_prime(next_prime_++), steps)) {
    }
}

bool lanes::run(int l, std::uint64_t p, int steps) {
    primes_[l] = p;
    folds_[l] = make_fold_factors(p);
    d_[l] = 1;
    for (int k = 0; k < m_; ++k) {
        residue* w = row(l, k);
        for (int c = 0; c < r_; ++c) w[c] = reduce_mod(a_[std::size_t(k) * n_ + cols_[c]], p);
    }
    for (int u = 0; u < steps; ++u) {
        prepare_column(l, u);
        if (!step(l, u)) return false;
    }
    return true;
}

bool lanes::step(int l, int u) {
    const std::uint64_t p = primes_[l];
    residue* pivot = row(l, pivot_rows_[u]);
    const residue v = pivot[u];
    if (v == 0) return false;
    d_[l] = mul_mod(d_[l], v, p);
    column(l, u)[u] = v;
    for (int j = u + 1; j < r_; ++j) {
        residue* u_column = column(l, j);
        pivot[j] = sub_mod(pivot[j], dot_mod(pivot, u_column, u, folds_[l]), p);
        u_column[u] = pivot[j];
    }
    const shoup_factor inverse = make_shoup_factor(inverse_mod(v, p), p);
    for (int k = 0; k < m_; ++k) {
        if (step_of_row_[k] <= u) continue;
        residue* w = row(l, k);
        w[u] = mul_shoup(w[u], inverse, p);
    }
    return true;
}

} // namespace velmora
