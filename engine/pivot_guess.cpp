#include "engine/pivot_guess.hpp"

#include "bigint/arithmetic.hpp"
#include "rational/gcd.hpp"
#include "engine/determinant.hpp"
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

constexpr double unit = 0x1p-53;
// Above the absolute error of one product or sum whose result falls below the normal range.
constexpr double tiny = 0x1p-1070;

// Row k of a p-by-q row-major array.
inline double* row_of(double* x, int q, int k) { return x + std::size_t(k) * q; }
inline const double* row_of(const double* x, int q, int k) { return x + std::size_t(k) * q; }

// y[from .. to-1] += f * x[from .. to-1].
inline void add_scaled(double* y, const double* x, double f, int from, int to) {
    for (int c = from; c < to; ++c) y[c] += f * x[c];
}

// y[from .. to-1] += f[u] * x[u][from .. to-1] for u = 0 .. count-1 in turn: per entry the
// products and sums of add_scaled in the same order (so the same roundings), with one pass
// over y for up to four rows.
void add_multiples(double* y, const double* const* x, const double* f, int count, int from, int to) {
    int u = 0;
    for (; u + 4 <= count; u += 4) {
        const double f0 = f[u], f1 = f[u + 1], f2 = f[u + 2], f3 = f[u + 3];
        const double *x0 = x[u], *x1 = x[u + 1], *x2 = x[u + 2], *x3 = x[u + 3];
        for (int c = from; c < to; ++c) {
            double v = y[c];
            v += f0 * x0[c];
            v += f1 * x1[c];
            v += f2 * x2[c];
            v += f3 * x3[c];
            y[c] = v;
        }
    }
    for (; u < count; ++u) add_scaled(y, x[u], f[u], from, to);
}

// Sums f(l) x(l) over l = first .. last-1 with f(l) != 0 into y[from(l) .. to(l)-1], in
// order of l, through add_multiples four terms at a time: a group spans the columns of
// all its terms (the rows x(l) must be 0 outside their own span, as triangular rows are).
template <class Factor, class Row, class From, class To>
void add_rows(double* y, int first, int last, Factor f, Row x, From from, To to) {
    const double* rows[4];
    double factors[4];
    int count = 0, lo = 0, hi = 0;
    for (int l = first; l < last; ++l) {
        const double v = f(l);
        if (v == 0.0) continue;
        lo = count == 0 ? from(l) : std::min(lo, from(l));
        hi = count == 0 ? to(l) : std::max(hi, to(l));
        rows[count] = x(l);
        factors[count++] = v;
        if (count == 4) {
            add_multiples(y, rows, factors, count, lo, hi);
            count = 0;
        }
    }
    if (count > 0) add_multiples(y, rows, factors, count, lo, hi);
}

// The exact search at step t among the rows at positions t .. m-1 whose doubles reach
// near: each one's minor on the pivot rows so far (rows[0 .. t-1]) and itself, and the
// columns cols[0 .. t], compared as |minor| / scale, the topmost of equals; marks them
// settled. Returns the winner's position; rows[t] is left unspecified.
int settle(const big_int* a, int n, const big_int* scales, const int* cols, int* rows, int t, const int* row_at,
           int m, const double* x, int r, double near, unsigned char* settled) {
    int best = -1;
    big_int best_minor;
    for (int e = t; e < m; ++e) {
        const int k = row_at[e];
        if (!(std::fabs(x[std::size_t(k) * r + t]) >= near)) continue;
        rows[t] = k;
        big_int minor = minor_on(a, n, rows, cols, t + 1);
        settled[std::size_t(k) * r + t] = 1;
        if (best < 0 || abs(minor) * scales[row_at[best]] > abs(best_minor) * scales[k]) {
            best = e;
            best_minor = minor;
        }
    }
    return best;
}

// Step t of the search, within the panel of columns before t1 (see guess_pivot_rows):
// the pivot row, and the multipliers of the rows below it, which update the panel's
// columns only. False when no guess can be made (see guess_pivot_rows).
bool panel_step(const big_int* a, int n, const big_int* scales, const int* cols, pivot_guess& guess, int* row_at, int t,
                int t1) {
    const int m = guess.m, r = guess.r;
    double* x = guess.factors.data();
    int best = -1;
    double largest = 0.0;
    for (int e = t; e < m; ++e) {
        const double v = std::fabs(x[std::size_t(row_at[e]) * r + t]);
        if (v > largest) {
            largest = v;
            best = e;
        }
    }
    if (best < 0 || !std::isfinite(largest)) return false;
    const double near = largest * (1.0 - 0x1p-30);
    int close = 0;
    for (int e = t; e < m && close < 2; ++e)
        if (std::fabs(x[std::size_t(row_at[e]) * r + t]) >= near) ++close;
    if (close > 1) {
        if (t >= exact_steps) return false;
        best = settle(a, n, scales, cols, guess.rows.data(), t, row_at, m, x, r, near, guess.settled.data());
    }
    std::swap(row_at[t], row_at[best]);
    const double* pivot = row_of(x, r, row_at[t]);
    guess.rows[t] = row_at[t];
    for (int e = t + 1; e < m; ++e) {
        double* row = row_of(x, r, row_at[e]);
        const double f = row[t] / pivot[t];
        row[t] = f;
        if (f != 0.0) add_scaled(row, pivot, -f, t + 1, t1);
    }
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
    const int m = guess.m, r = guess.r;
    double* x = guess.factors.data();
    // The rows in doubles, a share of them on each thread.
    const int parts = m >= 64 ? 2 * thread_count() : 1;
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
                // Within +-900 the quotient, in [0.5, 2] before the shift, stays a normal
                // double, so its relative error is that of v, ms and one division: below 2^-50.
                if (v != 0.0 && (shift > 900 || shift < -900)) {
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
    checked_buffer<int> row_at(m);
    for (int k = 0; k < m; ++k) row_at[k] = k;
    // Panels of columns: within a panel the steps update the panel's columns only; after
    // it, the pivot rows (in turn) and then the other rows (over the threads) take the
    // panel's updates on the columns to its right. Every entry still undergoes the same
    // operations in the same order as when each step updates every column at once.
    constexpr int panel = 32;
    for (int t0 = 0; t0 < r; t0 += panel) {
        const int t1 = std::min(r, t0 + panel);
        for (int t = t0; t < t1; ++t)
            if (!panel_step(a, n, scales, cols, guess, row_at.data(), t, t1)) return false;
        if (t1 == r) break;
        const double* pivots[panel];
        for (int t = t0; t < t1; ++t) pivots[t - t0] = row_of(x, r, row_at[t]);
        // Row k's nonzero multipliers of the panel's pivots before position `last`, in order.
        const auto update = [&](int k, int last) {
            double* row = row_of(x, r, k);
            const double* used[panel];
            double f[panel];
            int count = 0;
            for (int u = t0; u < last; ++u)
                if (row[u] != 0.0) {
                    used[count] = pivots[u - t0];
                    f[count++] = -row[u];
                }
            add_multiples(row, used, f, count, t1, r);
        };
        for (int t = t0 + 1; t < t1; ++t) update(row_at[t], t);
        const int rows = m - t1, shares = rows >= 64 ? 2 * thread_count() : 1;
        parallel_for(std::size_t(shares), [&](std::size_t share) {
            const int begin = t1 + int(std::size_t(rows) * share / shares);
            const int end = t1 + int(std::size_t(rows) * (share + 1) / shares);
            for (int e = begin; e < end; ++e) update(row_at[e], t1);
        });
    }
    guess.complete = true;
    return true;
}

// The proof. Write s_t = rows[t], P = (s_0 .. s_{r-1}), X_P the r-by-r matrix of X on the
// rows P in that order. The exact search, at step t with s_0 .. s_{t-1} taken, compares
// over the rows k without pivot the entries of the Schur complement in column t. When X_P
// has an LU factorisation X_P = L_P U without exchanges (all leading minors nonzero), row k
// of X is L(k, .) U with L = X U^-1 (the multipliers of k: L(k, .) for k in P is the row of
// L_P), and the Schur complement entry of row k at step t is L(k, t) U(t, t). So the search
// takes s_t at every step, whatever its tie rule, if U(t, t) != 0 and |L(k, t)| < 1 for
// every row k without pivot before step t other than s_t (whose L(s_t, t) is 1).
//
// Take any unit lower triangular V and upper triangular W with nonzero diagonal in doubles
// (here V ~ L_P^-1 and W ~ U^-1 from the guess) and the exact products G = X W and
// H = V X_P W = V G_P (G_P: the rows P of G). Suppose |H - I| <= eps entrywise with
// r eps <= 1/8. The leading t-by-t block of H is V_t X_{P,t} W_t (V lower, W upper), and
// is I plus a matrix of norm <= 1/8, so nonsingular: every leading minor of X_P is nonzero,
// X_P = L_P U exists with U(t, t) != 0, and H = (V L_P)(U W) is the LU factorisation of H.
// Doolittle's recurrences on H, by induction over the entries: with eta = 2 eps, every
// multiplier and every off-diagonal entry of T = U W is at most eta in absolute value and
// |T(t, t) - 1| <= eta (each is at most eps + r eta^2 <= 1.5 eps before a division by a
// pivot >= 1 - 1.5 eps). So T = I + F, |F| <= eta, and |T^-1 - I| <= sum_p r^(p-1) eta^p
// = eta / (1 - r eta) =: tau entrywise (|F^p| counts at most r^(p-1) paths). Finally
// L = X U^-1 = G T^-1, T^-1 upper, so |L(k, t) - G(k, t)| <= tau sum_{j<=t} |G(k, j)|.
//
// G and H are known only through their values in doubles: with Gd = fl(Xd W) from the
// stored values Xd (|X - Xd| <= 2^-50 |Xd|) and gamma = r u / (1 - r u), u = 2^-53,
// |G - Gd| <= (2^-50 + gamma)|Xd||W| <= RG(k, j) := c min(rmax(k) csum(j), cw(j)), with
// rmax(k) the largest |Xd(k, .)|, csum(j) the column sum of |W|, cw(j) that sum weighted
// by the largest |Xd| of each row l of W (two bounds on |Xd||W|, for rows and for columns
// of unlike scales), and c slightly above 2^-50 + gamma;
// and with Hd = fl(V Gd_P), |H - Hd| <= |V| RG_P + gamma |V||Gd_P|, bounded by the largest
// row sum of |V| times (max RG_P + gamma max |Gd_P|). The few sums and products that make
// these bounds are rounded too; each is enlarged by a relative 2^-20, far above their
// relative error (below r u), and the final comparison by its own rounding error. Results below the normal range add an absolute error below
// 2^-1074 per operation; r 2^-1070 is added to RG and, through V, to eps for them. A value
// that is not finite ends the proof.
bool may_prove_pivot_rows(const pivot_guess& guess) {
    // The proof needs r eps <= 1/8, and eps is at least 2^-50 |W(j, j)| min(rmax_P, cmax(j))
    // for every j (see its bounds on G: csum(j) and cw(j) / cmax(j) are at least
    // |W(j, j)|, and |W(j, j)| >= (1 - u) / |U(j, j)|). Asking less, with 2^-51 in place
    // of 2^-50, keeps the test a necessary condition.
    const int m = guess.m, r = guess.r;
    if (r <= 0) return false;
    checked_buffer<double> cmax(r);
    double rmax_p = 0.0;
    checked_buffer<unsigned char> pivot_row(m);
    for (int t = 0; t < r; ++t) pivot_row[guess.rows[t]] = 1;
    for (int k = 0; k < m; ++k) {
        const double* xk = row_of(guess.values.data(), r, k);
        double largest = 0.0;
        for (int c = 0; c < r; ++c) {
            cmax[c] = std::max(cmax[c], std::fabs(xk[c]));
            largest = std::max(largest, std::fabs(xk[c]));
        }
        if (pivot_row[k]) rmax_p = std::max(rmax_p, largest);
    }
    for (int j = 0; j < r; ++j) {
        const double u = std::fabs(row_of(guess.factors.data(), r, guess.rows[j])[j]);
        if (!(8.0 * r * 0x1p-51 * std::min(rmax_p, cmax[j]) <= u)) return false;
    }
    return true;
}

bool prove_pivot_rows(const pivot_guess& guess, long* det_bits) {
    const int m = guess.m, r = guess.r;
    if (r <= 0) return false;
    const double* lu = guess.factors.data();
    const int* s = guess.rows.data();
    const double gamma = r * unit / (1.0 - r * unit);
    const double widen = 1.0 + 0x1p-20;

    // W = U^-1, row i from the rows below it: U(i, i) W(i, .) = e_i - sum_{l>i} U(i, l) W(l, .).
    checked_buffer<double> w(std::size_t(r) * r);
    for (int i = r - 1; i >= 0; --i) {
        const double* u = row_of(lu, r, s[i]);
        if (!(u[i] != 0.0) || !std::isfinite(u[i])) return false;
        double* wi = row_of(w.data(), r, i);
        wi[i] = 1.0;
        add_rows(
            wi, i + 1, r, [&](int l) { return -u[l]; }, [&](int l) { return row_of(w.data(), r, l); },
            [](int l) { return l; }, [&](int) { return r; });
        const double inverse = 1.0 / u[i];
        for (int c = i; c < r; ++c) wi[c] *= inverse;
    }
    // V = L_P^-1, unit lower: V(i, .) = e_i - sum_{l<i} L_P(i, l) V(l, .).
    checked_buffer<double> v(std::size_t(r) * r);
    double v_norm = 0.0;
    for (int i = 0; i < r; ++i) {
        const double* l_row = row_of(lu, r, s[i]);
        double* vi = row_of(v.data(), r, i);
        vi[i] = 1.0;
        add_rows(
            vi, 0, i, [&](int l) { return -l_row[l]; }, [&](int l) { return row_of(v.data(), r, l); },
            [](int) { return 0; }, [](int l) { return l + 1; });
        double sum = 0.0;
        for (int c = 0; c <= i; ++c) sum += std::fabs(vi[c]);
        if (!std::isfinite(sum)) return false;
        v_norm = std::max(v_norm, sum);
    }
    // csum(j) = sum_l |W(l, j)|, cw(j) = sum_l cmax(l) |W(l, j)| with cmax(l) the largest
    // |Xd(., l)|: (|Xd||W|)(k, j) is at most rmax(k) csum(j) and at most cw(j).
    checked_buffer<double> csum(r), cmax(r), cw(r), rmax(m);
    for (int k = 0; k < m; ++k) {
        const double* xk = row_of(guess.values.data(), r, k);
        for (int c = 0; c < r; ++c) {
            cmax[c] = std::max(cmax[c], std::fabs(xk[c]));
            rmax[k] = std::max(rmax[k], std::fabs(xk[c]));
        }
        rmax[k] *= widen;
    }
    double csum_max = 0.0, cw_max = 0.0;
    for (int i = 0; i < r; ++i) {
        const double* wi = row_of(w.data(), r, i);
        for (int c = i; c < r; ++c) {
            csum[c] += std::fabs(wi[c]);
            cw[c] += cmax[i] * std::fabs(wi[c]);
        }
    }
    for (int c = 0; c < r; ++c) {
        if (!std::isfinite(csum[c]) || !std::isfinite(cw[c])) return false;
        csum[c] *= widen;
        cw[c] *= widen;
        csum_max = std::max(csum_max, csum[c]);
        cw_max = std::max(cw_max, cw[c]);
    }
    const double c_g = (0x1p-50 + gamma) * widen;
    const double underflow = r * tiny;
    // Row k of Gd.
    auto g_row = [&](int k, double* g) {
        const double* xk = row_of(guess.values.data(), r, k);
        std::fill(g, g + r, 0.0);
        add_rows(
            g, 0, r, [&](int l) { return xk[l]; }, [&](int l) { return row_of(w.data(), r, l); },
            [](int l) { return l; }, [&](int) { return r; });
    };

    // Gd_P and eps.
    checked_buffer<double> g_p(std::size_t(r) * r);
    double g_p_max = 0.0, rmax_p = 0.0;
    for (int i = 0; i < r; ++i) {
        double* g = row_of(g_p.data(), r, i);
        g_row(s[i], g);
        rmax_p = std::max(rmax_p, rmax[s[i]]);
        for (int c = 0; c < r; ++c) {
            if (!std::isfinite(g[c])) return false;
            g_p_max = std::max(g_p_max, std::fabs(g[c]));
        }
    }
    checked_buffer<double> h(r);
    double off = 0.0;
    for (int i = 0; i < r; ++i) {
        std::fill(h.data(), h.data() + r, 0.0);
        const double* vi = row_of(v.data(), r, i);
        add_rows(
            h.data(), 0, i + 1, [&](int l) { return vi[l]; }, [&](int l) { return row_of(g_p.data(), r, l); },
            [](int) { return 0; }, [&](int) { return r; });
        h[i] -= 1.0;
        for (int c = 0; c < r; ++c) {
            if (!std::isfinite(h[c])) return false;
            off = std::max(off, std::fabs(h[c]));
        }
    }
    const double eps =
        (off + underflow + v_norm * (c_g * std::min(rmax_p * csum_max, cw_max) + underflow + gamma * g_p_max)) * widen;
    if (!std::isfinite(eps) || !(r * eps <= 0.125)) return false;
    const double eta = 2.0 * eps;
    const double tau = eta / (1.0 - r * eta) * widen;

    // |L(k, t)| < 1 for every row k without pivot before step t, k != s_t. The bound on
    // |L(k, t)| is a sum of at most r + 2 rounded terms, each bound enlarged already:
    // a relative 4 gamma + 2^-50 covers its own rounding, and leaves the margins of the
    // search (often below 10^-6 on large matrices) to decide.
    const double final_widen = 1.0 + 4.0 * gamma + 0x1p-50;
    checked_buffer<int> step_of(m);
    for (int k = 0; k < m; ++k) step_of[k] = r;
    for (int t = 0; t < r; ++t) step_of[s[t]] = t;
    checked_buffer<double> g(r);
    for (int k = 0; k < m; ++k) {
        const int last = step_of[k];  // the steps t < last
        if (last == 0) continue;
        const double* gk = g.data();
        if (last < r)
            gk = row_of(g_p.data(), r, last);
        else
            g_row(k, g.data());
        double prefix = 0.0;
        const unsigned char* exact = guess.settled.data() + std::size_t(k) * r;
        for (int t = 0; t < last; ++t) {
            const double err = c_g * std::min(rmax[k] * csum[t], cw[t]) + underflow;
            const double entry = std::fabs(gk[t]) + err;
            prefix += entry;
            if (!exact[t] && !((entry + tau * prefix) * final_widen < 1.0)) return false;
        }
    }
    if (det_bits) {
        // det X_P = det H / det W (V is unit lower triangular, W upper), and |det H| is at
        // most the product of its rows' sums of absolute values, each <= 1 + r eps. The
        // product of the 1 / |W(j, j)| is kept as a mantissa in [0.5, 1) and an exponent.
        // Its r roundings (a relative 2r u at most) and those of the logarithms (a few u
        // more) are far below the one bit added.
        long exponent = 0;
        double mantissa = 1.0;
        for (int j = 0; j < r; ++j) {
            int e = 0;
            const double f = std::frexp(std::fabs(row_of(w.data(), r, j)[j]), &e);  // |W(j, j)| = f 2^e
            int g = 0;
            mantissa = std::frexp(mantissa / f, &g);
            exponent += g - e;
        }
        const double bits = double(exponent) + std::log2(mantissa) +
                            r * std::log1p(r * eps) / std::log(2.0) * widen;
        if (!std::isfinite(bits)) return false;
        *det_bits = long(std::ceil(bits)) + 1;
    }
    return true;
}

} // namespace velmora
