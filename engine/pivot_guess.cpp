#include "engine/pivot_guess.hpp"

#include "bigint/arithmetic.hpp"
#include "rational/gcd.hpp"
#include "engine/determinant.hpp"
#include "engine/double_rows.hpp"
#include "diag/thread_pool.hpp"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// x as v 2^e with 0.5 <= |v| < 1 (v = 0 for x = 0), from its top two words: within a
// relative 2.1 * 2^-53 of x (two roundings and the words below the top two, < 2^-64).
double split_value(const big_int& x, long& e) {
    const big_int_rep& rx = x.rep();
    e = 0;
    if (rx.sign == 0) return 0.0;
    const int top = std::min<int>(int(rx.len), 2);
    double v = 0.0;
    for (int i = int(rx.len) - 1; i >= int(rx.len) - top; --i) v = v * 18446744073709551616.0 + double(rx.digits[i]);
    int f = 0;
    const double m = std::frexp(v, &f);
    e = f + 64L * (long(rx.len) - top);
    return rx.sign < 0 ? -m : m;
}

// Rows whose double comes within this relative distance of the largest one at a step are
// compared exactly, by their minors, as the exact search compares them (they are settled),
// and the proof (prove_pivot_rows) exempts settled rows from its margins: so ties, as
// among small entries, do not stop the proof. A wider window settles more rows, each at
// the cost of a minor of order t + 1; a narrower one leaves closer ties to the margins.
constexpr double near_tie = 0x1p-30;

// Binary exponents of an entry over its row's scale beyond which the guess is given up:
// within +-900 the quotient, in [0.5, 2] before the shift, stays a normal double (from
// 2^-1022 to 2^1024).
constexpr long largest_shift = 900;

// Columns of a panel of the search (see pivot_search::update_right): within a panel the
// steps update the panel's columns only. Any size gives the same values.
constexpr int panel = 32;

// Rows from which the search spreads its row loops over the threads; fewer stay on one.
constexpr int rows_per_thread_split = 64;

// The search in doubles on the rows of guess.factors (X to begin with), one step at a time:
// the rows at each position (row_at, exchanged as the search takes its pivots), and the
// integer matrix with its scales and columns for the exact comparisons of near ties.
class pivot_search {
public:
    pivot_search(const big_int* a, int n, const big_int* scales, const int* cols, pivot_guess& guess)
        : a_(a), n_(n), scales_(scales), cols_(cols), guess_(guess), m_(guess.m), r_(guess.r),
          x_(guess.factors.data()), row_at_(m_) {
        for (int k = 0; k < m_; ++k) row_at_[k] = k;
    }

    // Step t of the search, within the panel of columns before t1: the pivot row, and the
    // multipliers of the rows below it, which update the panel's columns only. False when no
    // guess can be made (see guess_pivot_rows).
    bool step(int t, int t1) {
        int best = -1;
        double largest = 0.0;
        for (int e = t; e < m_; ++e) {
            const double v = std::fabs(x_[std::size_t(row_at_[e]) * r_ + t]);
            if (v > largest) {
                largest = v;
                best = e;
            }
        }
        if (best < 0 || !std::isfinite(largest)) return false;
        if (guess_.settle_ties) {
            const double near = largest * (1.0 - near_tie);
            int close = 0;
            for (int e = t; e < m_ && close < 2; ++e)
                if (std::fabs(x_[std::size_t(row_at_[e]) * r_ + t]) >= near) ++close;
            if (close > 1) {
                if (t >= exact_steps) return false;
                best = settle(t, near);
            }
        }
        std::swap(row_at_[t], row_at_[best]);
        const double* pivot = row_of(x_, r_, row_at_[t]);
        guess_.rows[t] = row_at_[t];
        for (int e = t + 1; e < m_; ++e) {
            double* row = row_of(x_, r_, row_at_[e]);
            const double f = row[t] / pivot[t];
            row[t] = f;
            if (f != 0.0) add_scaled(row, pivot, -f, t + 1, t1);
        }
        return true;
    }

    // After the steps t0 .. t1-1 of a panel: the pivot rows (in turn) and then the other
    // rows (over the threads) take the panel's updates on the columns right of it. Every
    // entry still undergoes the same operations in the same order as when each step updates
    // every column at once.
    void update_right(int t0, int t1) {
        const double* pivots[panel];
        for (int t = t0; t < t1; ++t) pivots[t - t0] = row_of(x_, r_, row_at_[t]);
        // Row k's nonzero multipliers of the panel's pivots before position `last`, in order.
        const auto update = [&](int k, int last) {
            double* row = row_of(x_, r_, k);
            const double* used[panel];
            double f[panel];
            int count = 0;
            for (int u = t0; u < last; ++u)
                if (row[u] != 0.0) {
                    used[count] = pivots[u - t0];
                    f[count++] = -row[u];
                }
            add_multiples(row, used, f, count, t1, r_);
        };
        for (int t = t0 + 1; t < t1; ++t) update(row_at_[t], t);
        const int rows = m_ - t1, shares = rows >= rows_per_thread_split ? 2 * thread_count() : 1;
        parallel_for(std::size_t(shares), [&](std::size_t share) {
            const int begin = t1 + int(std::size_t(rows) * share / shares);
            const int end = t1 + int(std::size_t(rows) * (share + 1) / shares);
            for (int e = begin; e < end; ++e) update(row_at_[e], t1);
        });
    }

private:
    // The exact search at step t among the rows at positions t .. m-1 whose doubles reach
    // near: each one's minor on the pivot rows so far (rows[0 .. t-1]) and itself, and the
    // columns cols[0 .. t], compared as |minor| / scale, the topmost of equals; marks them
    // settled. Returns the winner's position; rows[t] is left unspecified.
    int settle(int t, double near) {
        int* rows = guess_.rows.data();
        int best = -1;
        big_int best_minor;
        for (int e = t; e < m_; ++e) {
            const int k = row_at_[e];
            if (!(std::fabs(x_[std::size_t(k) * r_ + t]) >= near)) continue;
            rows[t] = k;
            big_int minor = minor_on(a_, n_, rows, cols_, t + 1);
            guess_.settled[std::size_t(k) * r_ + t] = 1;
            if (best < 0 || abs(minor) * scales_[row_at_[best]] > abs(best_minor) * scales_[k]) {
                best = e;
                best_minor = minor;
            }
        }
        return best;
    }

    const big_int* a_;
    int n_;
    const big_int* scales_;
    const int* cols_;
    pivot_guess& guess_;
    const int m_, r_;
    double* x_;  // guess.factors
    checked_buffer<int> row_at_;
};

// Row k of X into guess.values and guess.factors, a share of the rows on each thread.
// False when an entry is beyond the range of doubles.
bool rows_in_doubles(const big_int* a, int n, const big_int* scales, const int* cols, pivot_guess& guess) {
    const int m = guess.m, r = guess.r;
    double* x = guess.factors.data();
    const int parts = m >= rows_per_thread_split ? 2 * thread_count() : 1;
    checked_buffer<unsigned char> beyond(parts);  // a part met an entry beyond the doubles
    parallel_for(std::size_t(parts), [&](std::size_t part) {
        const int begin = int(std::size_t(m) * part / parts), end = int(std::size_t(m) * (part + 1) / parts);
        for (int k = begin; k < end; ++k) {
            long es = 0;
            const double ms = split_value(scales[k], es);
            double* xk = row_of(x, r, k);
            for (int c = 0; c < r; ++c) {
                long e = 0;
                const double v = split_value(a[std::size_t(k) * n + cols[c]], e);
                const long shift = e - es;
                // A normal double (see largest_shift), so its relative error is that of v,
                // ms and one division: below 2^-50.
                if (v != 0.0 && (shift > largest_shift || shift < -largest_shift)) {
                    beyond[part] = 1;
                    return;
                }
                xk[c] = std::ldexp(v / ms, int(shift));
            }
            std::copy(xk, xk + r, row_of(guess.values.data(), r, k));
        }
    });
    for (int part = 0; part < parts; ++part)
        if (beyond[part]) return false;
    return true;
}

} // namespace

void block_on(const big_int* a, int n, const int* rows, const int* cols, int order, big_int* block) {
    for (int u = 0; u < order; ++u)
        for (int c = 0; c < order; ++c) block[std::size_t(u) * order + c] = a[std::size_t(rows[u]) * n + cols[c]];
}

big_int minor_on(const big_int* a, int n, const int* rows, const int* cols, int order) {
    checked_buffer<big_int> block(std::size_t(order) * order);
    block_on(a, n, rows, cols, order, block.data());
    return leading_determinant(block.data(), order, order);
}

bool guess_pivot_rows(const big_int* a, int n, const big_int* scales, const int* cols, pivot_guess& guess) {
    if (!rows_in_doubles(a, n, scales, cols, guess)) return false;
    pivot_search search(a, n, scales, cols, guess);
    for (int t0 = 0; t0 < guess.r; t0 += panel) {
        const int t1 = std::min(guess.r, t0 + panel);
        for (int t = t0; t < t1; ++t)
            if (!search.step(t, t1)) return false;
        if (t1 == guess.r) break;
        search.update_right(t0, t1);
    }
    guess.complete = true;
    return true;
}

} // namespace velmora
