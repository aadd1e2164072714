#include "reduce/multimodular.hpp"

#include "rational/gcd.hpp"
#include "diag/allocation.hpp"
#include "diag/checked_buffer.hpp"
#include "diag/report.hpp"
#include "diag/thread_pool.hpp"
#include "reduce/crt.hpp"
#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "reduce/minor_bound.hpp"
#include "reduce/modular_echelon.hpp"
#include "reduce/modular_lu.hpp"
#include "reduce/padic_det.hpp"
#include "reduce/pivot_sequence.hpp"
#include "reduce/prime_batches.hpp"
#include "reduce/prime_source.hpp"
#include "reduce/product_sum.hpp"
#include "reduce/rank_profile.hpp"

#include <algorithm>

namespace velmora {

namespace {

// The exact solution for an integer matrix a (m-by-n, row-major) of full row rank:
// its pivot columns P, D = det a_P (rows in order, columns increasing), and the
// integers D B and D Q, where B is the reduced row echelon form of a and B = Q a.
struct full_rank_solution {
    full_rank_solution(int m, int n, bool with_b, bool with_q)
        : m(m), n(n), width(with_b ? n - m : 0), with_q(with_q), pivots(m),
          values(std::size_t(m) * width + (with_q ? std::size_t(m) * m : 0) + 1) {}

    // D B(t, c) for the k-th column c that is not a pivot column (when with_b).
    const big_int& scaled_b(int t, int k) const { return values[std::size_t(t) * width + k]; }
    // D Q(t, i) (when with_q).
    const big_int& scaled_q(int t, int i) const { return values[std::size_t(m) * width + std::size_t(t) * m + i]; }
    // D, the determinant of a on the pivot columns.
    const big_int& minor() const { return values[values.size() - 1]; }

    int m, n;
    int width;  // number of non-pivot columns kept: n - m, or 0 without B
    bool with_q;
    checked_buffer<int> pivots;
    checked_buffer<big_int> values;
};

// -1, 0 or +1 as the pivot list a comes lexicographically before, equals or comes after b.
int compare_pivots(const int* a, const int* b, int m) {
    for (int t = 0; t < m; ++t)
        if (a[t] != b[t]) return a[t] < b[t] ? -1 : 1;
    return 0;
}

// Solves for a of full row rank and returns true; returns false when the rank modulo the
// first prime is below m and the rank is not already known to be m (rank_known).
//
// Lucky primes. Over the rationals the t-th pivot column is the first column j such that
// columns 0 .. j have rank t + 1; modulo p every such rank can only drop, so the t-th
// pivot column modulo p is never before the true one. Hence of two primes whose pivot
// lists differ, the one with the later column at the first difference is certainly
// wrong, and is dropped (as is a prime below full rank). A prime gives the true pivot
// columns P exactly when it does not divide d = det a_P, which is nonzero and below 2^h
// (h from minor_bound_bits). The primes kept all agree; their product exceeds 2^(h+1) >
// |d|, so they cannot all divide d: one of them, and with it every one, gives P. The same
// product bounds the symmetric remainders: every value sought is a minor of a, below 2^h.
//
// Images are made a batch at a time, one prime per thread, and taken in the order of the
// primes: every decision is the one made one prime at a time, whatever the threads.
bool solve(const big_int* a, full_rank_solution& s, bool rank_known) {
    const int m = s.m, n = s.n;
    const std::size_t width = s.width;
    // One image: its residues, the identity part when Q is wanted, its pivots and minor.
    struct image {
        image(int m, int n, bool with_q) : w(std::size_t(m) * n), q(with_q ? std::size_t(m) * m : 0), lu(m, n) {}
        checked_buffer<residue> w, q;
        modular_lu lu;
        const int* rows() const { return lu.pivot_rows(); }
        const int* cols() const { return lu.pivot_cols(); }
        residue det = 0;
        int rank = 0;
        std::uint64_t p = 0;
    };
    auto images = make_prime_batches<image>([&] { return allocate_object<image>(m, n, s.with_q); },
                                            [&](image& x, std::uint64_t p) {
                                                x.p = p;
                                                reduce_mod_all(a, x.w.size(), p, x.w.data());
                                                x.rank = x.lu.factor(x.w.data(), p);
                                                if (x.rank == m) x.lu.reduced_form(x.w.data(), s.with_q ? x.q.data() : nullptr, x.det);
                                            });
    auto next_image = [&]() -> image& { return images.next(); };
    const image* first = &next_image();
    while (first->rank < m) {
        if (!rank_known) return false;
        first = &next_image();
    }

    const int k = primes_for_bits(minor_bound_bits(a, m, n) + 1);
    const std::size_t count = s.values.size();
    checked_buffer<residue> residues(std::size_t(k) * count);
    checked_buffer<std::uint64_t> primes(k);
    checked_buffer<int> non_pivots(n - m);

    // Stores image x as the residues of D B, D Q and D in slot `slot`.
    auto keep = [&](int slot, const image& x) {
        const std::uint64_t p = x.p;
        residue* out = residues.data() + std::size_t(slot) * count;
        const shoup_factor d = make_shoup_factor(x.det, p);
        for (int t = 0; t < m; ++t) {
            const residue* row = x.w.data() + std::size_t(x.rows()[t]) * n;
            for (std::size_t c = 0; c < width; ++c) out[t * width + c] = mul_shoup(row[non_pivots[c]], d, p);
        }
        if (s.with_q) {
            residue* out_q = out + std::size_t(m) * width;
            for (int t = 0; t < m; ++t) {
                const residue* row = x.q.data() + std::size_t(x.rows()[t]) * m;
                for (int u = 0; u < m; ++u) out_q[std::size_t(t) * m + x.rows()[u]] = mul_shoup(row[u], d, p);
            }
        }
        out[count - 1] = x.det;
        primes[slot] = p;
    };
    auto take_pivots = [&](const image& x) {
        std::copy(x.cols(), x.cols() + m, s.pivots.data());
        std::size_t c = 0;
        for (int j = 0, t = 0; j < n; ++j) {
            if (t < m && s.pivots[t] == j) ++t;
            else non_pivots[c++] = j;
        }
    };
    take_pivots(*first);
    keep(0, *first);
    int kept = 1;
    while (kept < k) {
        const image& x = next_image();
        if (x.rank < m) continue;
        const int order = compare_pivots(x.cols(), s.pivots.data(), m);
        if (order > 0) continue;
        if (order < 0) {
            kept = 0;
            take_pivots(x);
        }
        keep(kept++, x);
    }
    reconstruct_symmetric(residues.data(), primes.data(), k, count, s.values.data());
    return true;
}

// Rows from which a determinant is found by a p-adic solution rather than by primes
// alone.
constexpr int padic_threshold = 16;

// The rank of a modulo the first prime of the sequence.
int first_prime_rank(const big_int* a, int m, int n) {
    const std::uint64_t p = engine_prime(0);
    checked_buffer<residue> w(std::size_t(m) * n);
    reduce_mod_all(a, w.size(), p, w.data());
    modular_lu lu(m, n);
    return lu.factor(w.data(), p);
}

// The determinant of the leading m-by-m block of a (m <= n), from enough primes that
// their product exceeds twice a bound on it. Every prime serves: a singular image is a
// determinant that vanishes modulo it.
big_int leading_minor(const big_int* a, int m, int n) {
    checked_buffer<int> lead(m);
    for (int j = 0; j < m; ++j) lead[j] = j;
    const int k = primes_for_bits(minor_bounds(a, m, n, lead.data(), m).bits(m) + 1);
    checked_buffer<residue> residues(k);
    checked_buffer<std::uint64_t> primes(k);
    struct image {
        explicit image(int m) : w(std::size_t(m) * m), lu(m, m) {}
        checked_buffer<residue> w;
        modular_lu lu;
        std::uint64_t p = 0;
        residue det = 0;
    };
    auto images = make_prime_batches<image>([&] { return allocate_object<image>(m); },
                                            [&](image& x, std::uint64_t p) {
                                                x.p = p;
                                                for (int i = 0; i < m; ++i)
                                                    reduce_mod_all(a + std::size_t(i) * n, std::size_t(m), p,
                                                                   x.w.data() + std::size_t(i) * m);
                                                const residue product =
                                                    x.lu.factor(x.w.data(), p) < m ? 0 : x.lu.pivot_product();
                                                x.det = product != 0 && permutation_sign(x.lu.pivot_rows(), m) < 0
                                                            ? p - product
                                                            : product;
                                            });
    for (int s = 0; s < k; ++s) {
        const image& x = images.next();
        residues[s] = x.det;
        primes[s] = x.p;
    }
    big_int d;
    reconstruct_symmetric(residues.data(), primes.data(), k, 1, &d);
    return d;
}

// The determinant of the leading m-by-m block of a (m <= n): by one p-adic solution and
// few primes for matrices from padic_threshold rows, else (or when the block is singular
// modulo the first primes) from primes alone.
big_int leading_determinant(const big_int* a, int m, int n) {
    big_int d;
    if (m >= padic_threshold && padic_determinant(a, m, std::size_t(n), d)) return d;
    return leading_minor(a, m, n);
}

// The rows of a (m-by-n) listed in rows[0 .. count-1], in that order, as a count-by-n array.
void copy_rows(const big_int* a, int n, const int* rows, int count, big_int* out) {
    for (int t = 0; t < count; ++t)
        std::copy(a + std::size_t(rows[t]) * n, a + std::size_t(rows[t] + 1) * n, out + std::size_t(t) * n);
}

void set_basis(vector<int>& basis, const full_rank_solution& s) {
    basis.resize(0);
    for (int t = 0; t < s.m; ++t) basis.append_item(s.pivots[t]);
}

// x / d in lowest terms with a positive denominator. Pre: d != 0.
rational<big_int> over(const big_int& x, const big_int& d) {
    big_int g = gcd(x, d);
    if (d < big_int(0)) g = -g;
    rational<big_int> r;
    r.numerator = g == big_int(1) ? x : x / g;
    r.denominator = d / g;
    return r;
}

// A value of its own record, equal to x. A task on another thread takes its own copy of
// every value that other tasks share: an operation may return a copy of an operand, and
// the reference it counts must be on a record of that thread alone.
big_int own_copy(const big_int& x) {
    const big_int_rep& r = x.rep();
    return copied_value(r.sign, r.digits, r.len);
}

// body(first, last) for blocks of the rows 0 .. count-1, one block per thread.
template <class Body>
void in_row_blocks(int count, Body body) {
    const int blocks = std::max(1, std::min(count, thread_count()));
    parallel_for(std::size_t(blocks), [&](std::size_t b) {
        body(int(std::size_t(count) * b / blocks), int(std::size_t(count) * (b + 1) / blocks));
    });
}

// The first r rows of B from the solution s (r = s.m): 1 on the pivot columns, D B / D in
// lowest terms elsewhere.
void fill_reduced_rows(matrix<rational<big_int>>& B, const full_rank_solution& s) {
    const int r = s.m, n = s.n;
    in_row_blocks(r, [&](int first, int last) {
        const big_int d = own_copy(s.minor());
        for (int t = first; t < last; ++t) {
            B(t, s.pivots[t]) = rational<big_int>(1);
            for (int c = 0, k = 0, u = 0; c < n; ++c) {
                if (u < r && s.pivots[u] == c) ++u;
                else B(t, c) = over(s.scaled_b(t, k++), d);
            }
        }
    });
}

// The first r rows of Q from the solution s for the rows listed in rows (r = s.m; null:
// rows 0 .. r-1): Q(t, rows[u]) = D Q'(t, u) L(rows[u]) / D in lowest terms, L the lcms.
void fill_transform_rows(matrix<rational<big_int>>& Q, const full_rank_solution& s, const big_int* lcms,
                         const int* rows) {
    const int r = s.m;
    in_row_blocks(r, [&](int first, int last) {
        const big_int d = own_copy(s.minor());
        checked_buffer<big_int> scales(r);
        for (int u = 0; u < r; ++u) scales[u] = own_copy(lcms[rows ? rows[u] : u]);
        for (int t = first; t < last; ++t)
            for (int u = 0; u < r; ++u) Q(t, rows ? rows[u] : u) = over(s.scaled_q(t, u) * scales[u], d);
    });
}

// Both output matrices could be given their sizes.
template <class T>
bool sized(const matrix<T>& M, int m, int n) {
    return M.rows() == m && M.cols() == n;
}


// The rows of a rational matrix as integers: row i times the lcm of its denominators,
// which changes neither the rank nor the pivot columns nor B.
struct scaled_rows {
    scaled_rows(const matrix<rational<big_int>>& A)
        : m(A.rows()), n(A.cols()), a(std::size_t(m) * n), lcms(m), product(1) {
        for (int i = 0; i < m; ++i) {
            big_int l(1);
            for (int j = 0; j < n; ++j) {
                const big_int& d = A(i, j).denominator;
                if (d.rep().len == 0) {  // not a number: left to reduced_echelon
                    valid = false;
                    return;
                }
                l = l * (d / gcd(l, d));
            }
            for (int j = 0; j < n; ++j) {
                const rational<big_int>& x = A(i, j);
                a[std::size_t(i) * n + j] = l == x.denominator ? x.numerator : x.numerator * (l / x.denominator);
            }
            lcms[i] = l;
            product = product * l;
        }
    }

    int m, n;
    checked_buffer<big_int> a;
    checked_buffer<big_int> lcms;
    big_int product;  // of the lcms
    bool valid = true;
};

// Full row rank, proven: B, Q, basis and det from the solution for all rows.
void full_row_rank_results(const scaled_rows& sr, matrix<rational<big_int>>& B, matrix<rational<big_int>>& Q,
                           vector<int>& basis, rational<big_int>& det, const engine_request& request) {
    using number = rational<big_int>;
    const int m = sr.m, n = sr.n;
    if (m == n && !request.q) {
        // Square: every column is a pivot column, B = I, and det is det A.
        if (request.b) B.resize(m, n);
        if (request.b && sized(B, m, n))
            for (int t = 0; t < m; ++t) B(t, t) = number(1);
        basis.resize(0);
        for (int t = 0; t < m; ++t) basis.append_item(t);
        if (request.det) det = number(leading_determinant(sr.a.data(), m, n), sr.product);
        return;
    }
    full_rank_solution s(m, n, request.b, request.q);
    solve(sr.a.data(), s, true);
    const big_int& d = s.minor();
    if (request.b) B.resize(m, n);
    if (request.q) Q.resize(m, m);
    if (request.b && sized(B, m, n)) fill_reduced_rows(B, s);
    if (request.q && sized(Q, m, m)) fill_transform_rows(Q, s, sr.lcms.data(), nullptr);
    set_basis(basis, s);
    // The leading m-by-m minor of A, which vanishes unless the pivots are 0 .. m-1.
    bool leading = true;
    for (int t = 0; t < m; ++t) leading = leading && s.pivots[t] == t;
    if (request.det) det = leading ? number(d, sr.product) : number(0);
    return;
}

// Whether every row of a outside `rows` lies in the span of the rows of the solution s
// (their reduced form R, with D R in s): D a[i, c] = sum over t of a[i, P_t] (D R)[t, c] for
// every column c that is not a pivot column (on the pivot columns both sides are equal
// by construction). Checked exactly, so that a true answer proves that the rows span the
// row space of a.
bool rows_in_span(const big_int* a, int m, int n, const int* rows, const full_rank_solution& s) {
    const int r = s.m;
    checked_buffer<unsigned char> listed(m);
    for (int t = 0; t < r; ++t) listed[rows[t]] = 1;
    const big_int& d = s.minor();
    std::size_t a_words = 1, b_words = d.rep().len;
    for (std::size_t e = 0; e < std::size_t(m) * n; ++e) a_words = std::max<std::size_t>(a_words, a[e].rep().len);
    for (int t = 0; t < r; ++t)
        for (int k = 0; k < s.width; ++k) b_words = std::max<std::size_t>(b_words, s.scaled_b(t, k).rep().len);
    product_sum sum(product_sum_words(a_words, b_words, std::size_t(r) + 1));
    for (int i = 0; i < m; ++i) {
        if (listed[i]) continue;
        const big_int* row = a + std::size_t(i) * n;
        for (int c = 0, k = 0, u = 0; c < n; ++c) {
            if (u < r && s.pivots[u] == c) {
                ++u;
                continue;
            }
            sum.clear();
            sum.add_product(-row[c], d);
            for (int t = 0; t < r; ++t) sum.add_product(row[s.pivots[t]], s.scaled_b(t, k));
            ++k;
            if (!sum.is_zero()) return false;
        }
    }
    return true;
}

// Below full row rank (r < m): B, Q, basis and det from a profile (rank r, pivot columns,
// independent rows). When the profile is the unproven one of a single prime, its rank and
// columns are proven here or refuted (false, nothing set): the solution for r independent
// rows gives their reduced form R exactly, and when every other row lies in the span of R
// (checked exactly), R spans the row space, so r is the rank and R's pivot columns are the
// pivot columns; the pivot sequence found on the profile's columns is then the true one.
//
// B is the reduced form of any r rows that span the row space, padded with zero rows. Q is
// fixed by the pivot rows s_0 .. s_{r-1} and the final order of the others: with a = the
// scaled rows, its row t < r is the inverse of a on rows s and the pivot columns (placed
// in the columns s_u), times the lcms of those rows; the row at a later position k, holding
// row i, is the unit vector of i minus c(i) placed in the columns s_u, where
// c(i) = a[i, P] a[s, P]^-1 (the combination of pivot rows that clears row i's pivot
// columns) scaled as the row: c(i)_u L(s_u) / L(i).
//
// det is 0 unless A is tall with independent columns: then it is the product of the
// pivots the search chose, with the sign of the exchanges.
bool deficient_results(const scaled_rows& sr, const rank_profile& profile, bool proven,
                       matrix<rational<big_int>>& B, matrix<rational<big_int>>& Q, vector<int>& basis,
                       rational<big_int>& det, const engine_request& request) {
    using number = rational<big_int>;
    const int m = sr.m, n = sr.n, r = profile.rank;
    const big_int* a = sr.a.data();
    const bool tall_det = request.det && m > n && r == n;
    pivot_sequence sequence(m, r);
    const int* rows = profile.rows.data();
    if (r == 0) {
        if (!proven)
            for (std::size_t e = 0; e < sr.a.size(); ++e)
                if (sr.a[e].rep().len != 0) return false;
        for (int k = 0; k < m; ++k) sequence.order[k] = k;
    } else if (request.q || tall_det) {
        if (!find_pivot_sequence(a, m, n, sr.lcms.data(), profile.cols.data(), r, sequence)) return false;
        rows = sequence.rows.data();
    }
    // r == n: every column is a pivot column (proven by one prime), and B = I on top.
    const bool with_solution = r > 0 && r < n ? request.b || request.q || !proven : r > 0 && request.q;
    full_rank_solution s(std::max(r, 1), n, with_solution && (request.b || !proven), request.q);
    if (with_solution) {
        checked_buffer<big_int> sub(std::size_t(r) * n);
        copy_rows(a, n, rows, r, sub.data());
        solve(sub.data(), s, true);
        if (!proven && (!std::equal(profile.cols.data(), profile.cols.data() + r, s.pivots.data()) ||
                        !rows_in_span(a, m, n, rows, s)))
            return false;
    }
    basis.resize(0);
    for (int t = 0; t < r; ++t) basis.append_item(profile.cols[t]);
    if (request.det) {
        if (tall_det) {
            big_int scale(1);
            for (int t = 0; t < r; ++t) scale = scale * sr.lcms[sequence.rows[t]];
            const number value(sequence.minor, scale);
            det = sequence.exchanges % 2 ? -value : value;
        } else {
            det = number(0);
        }
    }
    if (request.b) B.resize(m, n);
    if (request.q) Q.resize(m, m);
    const bool fill_b = request.b && sized(B, m, n), fill_q = request.q && sized(Q, m, m);
    if (fill_b && r == n)
        for (int t = 0; t < r; ++t) B(t, t) = number(1);
    else if (fill_b && r > 0)
        fill_reduced_rows(B, s);
    if (!fill_q) return true;
    const big_int& d = s.minor();
    if (r > 0) fill_transform_rows(Q, s, sr.lcms.data(), rows);
    std::size_t a_words = 1, q_words = 1;
    for (std::size_t e = 0; e < sr.a.size(); ++e) a_words = std::max<std::size_t>(a_words, sr.a[e].rep().len);
    for (int t = 0; t < r; ++t)
        for (int u = 0; u < r; ++u) q_words = std::max<std::size_t>(q_words, s.scaled_q(t, u).rep().len);
    in_row_blocks(m - r, [&](int first, int last) {
        product_sum combination(product_sum_words(a_words, q_words, std::size_t(r)));
        const big_int own_d = own_copy(d);
        checked_buffer<big_int> scales(r);
        for (int u = 0; u < r; ++u) scales[u] = own_copy(sr.lcms[rows[u]]);
        for (int k = r + first; k < r + last; ++k) {
            const int i = sequence.order[k];
            Q(k, i) = number(1);
            const big_int denominator = own_d * own_copy(sr.lcms[i]);
            // d c(i) = a[i, P] (d a[s, P]^-1), an integer row.
            for (int u = 0; u < r; ++u) {
                combination.clear();
                for (int t = 0; t < r; ++t)
                    combination.add_product(a[std::size_t(i) * n + s.pivots[t]], s.scaled_q(t, u));
                Q(k, rows[u]) = over(-(combination.value() * scales[u]), denominator);
            }
        }
    });
    return true;
}

} // namespace

bool multimodular_echelon(const matrix<rational<big_int>>& A, matrix<rational<big_int>>& B,
                          matrix<rational<big_int>>& Q, vector<int>& basis, rational<big_int>& det,
                          const engine_request& request) {
    using number = rational<big_int>;
    const int m = A.rows(), n = A.cols();
    if (m == 0 || n == 0) return false;
    const scaled_rows sr(A);
    if (!sr.valid) return false;
    const big_int* a = sr.a.data();
    const bool need_columns = request.b || request.q || request.basis;
    big_int square_det;
    if (request.b || request.q) {
        // One prime's profile, proven or refuted by the results themselves.
        rank_profile guess(m, n);
        first_prime_profile(a, m, n, guess);
        if (guess.rank == m) {
            full_row_rank_results(sr, B, Q, basis, det, request);
            return true;
        }
        if (deficient_results(sr, guess, guess.columns_proven, B, Q, basis, det, request)) return true;
    } else if (m == n && request.det && !need_columns && m >= padic_threshold &&
               padic_determinant(a, m, std::size_t(n), square_det)) {
        // A nonzero determinant proves full rank.
        basis.resize(0);
        for (int t = 0; t < m; ++t) basis.append_item(t);
        det = number(square_det, sr.product);
        return true;
    } else if (m <= n && first_prime_rank(a, m, n) == m) {
        // Full row rank is proven by one prime: the rank cannot exceed m.
        if (need_columns) {
            full_row_rank_results(sr, B, Q, basis, det, request);
            return true;
        }
        basis.resize(0);
        for (int t = 0; t < m; ++t) basis.append_item(t);  // the rank; the columns are not asked for
        if (request.det) det = number(leading_determinant(a, m, n), sr.product);
        return true;
    }
    rank_profile profile(m, n);
    find_rank_profile(a, m, n, {need_columns, false}, profile);
    if (profile.rank == m) {
        full_row_rank_results(sr, B, Q, basis, det, request);
        return true;
    }
    deficient_results(sr, profile, true, B, Q, basis, det, request);
    return true;
}

bool multimodular_echelon_int(const matrix<big_int>& A, matrix<big_int>& B, matrix<big_int>& Q,
                              vector<int>& basis, big_int& det, const engine_request& request) {
    const int m = A.rows(), n = A.cols();
    if (m == 0 || n == 0) return false;
    checked_buffer<big_int> a(std::size_t(m) * n);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) a[std::size_t(i) * n + j] = A(i, j);
    big_int square_det;
    if (m == n && !request.b && !request.q && request.det && m >= padic_threshold &&
        padic_determinant(a.data(), m, std::size_t(n), square_det)) {
        // A nonzero determinant proves full rank.
        basis.resize(0);
        for (int t = 0; t < m; ++t) basis.append_item(t);
        det = square_det;
        return true;
    }
    const bool full_rows = m <= n && first_prime_rank(a.data(), m, n) == m;
    // Below full row rank B and Q are left to the elimination; a prime that shows a lower
    // rank is almost always right, and the elimination is right in any case.
    if (!full_rows && (request.b || request.q)) return false;
    if (full_rows && !request.b && !request.q && (m == n || (!request.basis && !request.det))) {
        // The rank alone, or a square matrix: every column is a pivot column and det is det A.
        basis.resize(0);
        for (int t = 0; t < m; ++t) basis.append_item(t);
        if (request.det) det = leading_determinant(a.data(), m, n);
        return true;
    }
    if (!full_rows) {
        rank_profile profile(m, n);
        find_rank_profile(a.data(), m, n, {request.basis || (request.det && m <= n), request.det && m <= n},
                          profile);
        if (profile.rank < m) {
            basis.resize(0);
            for (int t = 0; t < profile.rank; ++t) basis.append_item(profile.cols[t]);
            if (request.det) det = big_int(0);  // every m-by-m minor vanishes
            return true;
        }
        if (!request.b && !request.q) {
            basis.resize(0);
            for (int t = 0; t < m; ++t) basis.append_item(profile.cols[t]);
            if (request.det) det = profile.det;
            return true;
        }
    }
    // The content of a row of B is taken together with the row of Q.
    full_rank_solution s(m, n, request.b, request.b || request.q);
    if (!solve(a.data(), s, true)) return false;

    // Row t of [D B | D Q] divided by its content, with the sign of D taken out so that
    // the pivot D becomes positive.
    const big_int& d = s.minor();
    const big_int zero(0), one(1);
    const int width = s.width;
    if (request.b) B.resize(m, n);
    if (request.q) Q.resize(m, m);
    const bool fill_b = request.b && sized(B, m, n), fill_q = request.q && sized(Q, m, m);
    if (fill_b || fill_q)
        in_row_blocks(m, [&](int first, int last) {
            const big_int own_d = own_copy(d);
            for (int t = first; t < last; ++t) {
                big_int g = abs(own_d);
                for (int k = 0; k < width && g != one; ++k) g = gcd(g, s.scaled_b(t, k));
                for (int i = 0; s.with_q && i < m && g != one; ++i) g = gcd(g, s.scaled_q(t, i));
                const big_int divisor = own_d < zero ? -g : g;
                auto divided = [&](const big_int& x) { return divisor == one ? x : x / divisor; };
                if (fill_b) {
                    B(t, s.pivots[t]) = divided(own_d);
                    for (int c = 0, k = 0, u = 0; c < n; ++c) {
                        if (u < m && s.pivots[u] == c) ++u;
                        else B(t, c) = divided(s.scaled_b(t, k++));
                    }
                }
                if (fill_q)
                    for (int i = 0; i < m; ++i) Q(t, i) = divided(s.scaled_q(t, i));
            }
        });
    set_basis(basis, s);
    if (request.det) det = d;
    return true;
}

} // namespace velmora
