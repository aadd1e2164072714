#include "engine/echelon_results.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/product_sum.hpp"
#include "engine/det_bound.hpp"
#include "engine/determinant.hpp"
#include "engine/full_rank_solution.hpp"
#include "engine/pivot_sequence.hpp"
#include "rational/gcd.hpp"

#include <algorithm>

namespace velmora {

namespace {

// x / d in lowest terms with a positive denominator. Pre: d != 0.
rational<big_int> over(const big_int& x, const big_int& d) {
    big_int g = gcd(x, d);
    if (d < big_int(0)) g = -g;
    rational<big_int> r;
    r.numerator = g == big_int(1) ? x : x / g;
    r.denominator = d / g;
    return r;
}

// The first r rows of B from the solution s (r = s.m): 1 on the pivot columns, D B / D in
// lowest terms elsewhere.
void fill_reduced_rows(matrix<rational<big_int>>& B, const full_rank_solution& s) {
    const int r = s.m, n = s.n;
    in_row_blocks(r, [&](int first, int last) {
        const big_int d = own_record(s.minor());
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
        const big_int d = own_record(s.minor());
        checked_buffer<big_int> scales(r);
        for (int u = 0; u < r; ++u) scales[u] = own_record(lcms[rows ? rows[u] : u]);
        for (int t = first; t < last; ++t)
            for (int u = 0; u < r; ++u) Q(t, rows ? rows[u] : u) = over(s.scaled_q(t, u) * scales[u], d);
    });
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
    const std::size_t a_words = longest_words(a, std::size_t(m) * n);
    std::size_t b_words = d.rep().len;
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

// The determinant of the scaled rows' matrix on the pivot rows of `sequence` and the
// pivot columns, with the sign of the search's exchanges: det of A on its rows
// rows[0 .. order-1] once the row scales (the lcms) are divided out.
rational<big_int> signed_minor(const scaled_rows& sr, const pivot_sequence& sequence, int order) {
    big_int scale(1);
    for (int t = 0; t < order; ++t) scale = scale * sr.lcms[sequence.rows[t]];
    const rational<big_int> value(sequence.minor, scale);
    return sequence.exchanges % 2 ? -value : value;
}

// The rows of Q at the positions k = r .. m-1 (see deficient_results), for r pivot rows
// rows[0 .. r-1] and the solution s for them: at position k, holding row i, the unit vector
// of i minus c(i) placed in the columns rows[u], scaled as the row: c(i)_u L(rows[u]) / L(i).
void fill_combination_rows(matrix<rational<big_int>>& Q, const scaled_rows& sr, const full_rank_solution& s,
                           const pivot_sequence& sequence, const int* rows, int r) {
    using number = rational<big_int>;
    const int m = sr.m, n = sr.n;
    const big_int* a = sr.a.data();
    const big_int& d = s.minor();
    const std::size_t a_words = longest_words(sr.a.data(), sr.a.size());
    std::size_t q_words = 1;
    for (int t = 0; t < r; ++t)
        for (int u = 0; u < r; ++u) q_words = std::max<std::size_t>(q_words, s.scaled_q(t, u).rep().len);
    in_row_blocks(m - r, [&](int first, int last) {
        product_sum combination(product_sum_words(a_words, q_words, std::size_t(r)));
        const big_int own_d = own_record(d);
        checked_buffer<big_int> scales(r);
        for (int u = 0; u < r; ++u) scales[u] = own_record(sr.lcms[rows[u]]);
        for (int k = r + first; k < r + last; ++k) {
            const int i = sequence.order[k];
            Q(k, i) = number(1);
            const big_int denominator = own_d * own_record(sr.lcms[i]);
            // d c(i) = a[i, P] (d a[s, P]^-1), an integer row.
            for (int u = 0; u < r; ++u) {
                combination.clear();
                for (int t = 0; t < r; ++t)
                    combination.add_product(a[std::size_t(i) * n + s.pivots[t]], s.scaled_q(t, u));
                Q(k, rows[u]) = over(-(combination.value() * scales[u]), denominator);
            }
        }
    });
}

} // namespace

void copy_rows(const big_int* a, int n, const int* rows, int count, big_int* out) {
    for (int t = 0; t < count; ++t)
        std::copy(a + std::size_t(rows[t]) * n, a + std::size_t(rows[t] + 1) * n, out + std::size_t(t) * n);
}

std::size_t longest_words(const big_int* x, std::size_t count) {
    std::size_t words = 1;
    for (std::size_t e = 0; e < count; ++e) words = std::max<std::size_t>(words, x[e].rep().len);
    return words;
}

void set_basis(vector<int>& basis, int count, const int* cols) {
    basis.resize(0);
    for (int t = 0; t < count; ++t) basis.append_item(cols ? cols[t] : t);
}

scaled_rows::scaled_rows(const matrix<rational<big_int>>& A)
    : m(A.rows()), n(A.cols()), a(std::size_t(m) * n), lcms(m), product(1) {
    for (int i = 0; i < m; ++i) {
        big_int l(1);
        for (int j = 0; j < n; ++j) {
            const big_int& d = A(i, j).denominator;
            if (d.rep().len == 0) {  // not a number: left to reduced_echelon
                valid = false;
                return;
            }
            if (d == l) continue;  // most often both 1
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

void full_row_rank_results(const scaled_rows& sr, matrix<rational<big_int>>& B, matrix<rational<big_int>>& Q,
                           vector<int>& basis, rational<big_int>& det, const engine_request& request) {
    using number = rational<big_int>;
    const int m = sr.m, n = sr.n;
    if (m == n && !request.q) {
        // Square: every column is a pivot column, B = I, and det is det A.
        if (request.b) B.resize(m, n);
        if (request.b && sized(B, m, n))
            for (int t = 0; t < m; ++t) B(t, t) = number(1);
        set_basis(basis, m);
        if (request.det) {
            square_det_bound bound(sr.a.data(), m, std::size_t(n));
            det = number(leading_determinant(sr.a.data(), m, n, bound.work()), sr.product);
        }
        return;
    }
    full_rank_solution s(m, n, request.b, request.q);
    solve_full_row_rank(sr.a.data(), s, true);
    const big_int& d = s.minor();
    if (request.b) B.resize(m, n);
    if (request.q) Q.resize(m, m);
    if (request.b && sized(B, m, n)) fill_reduced_rows(B, s);
    if (request.q && sized(Q, m, m)) fill_transform_rows(Q, s, sr.lcms.data(), nullptr);
    set_basis(basis, m, s.pivots.data());
    // The leading m-by-m minor of A, which vanishes unless the pivots are 0 .. m-1.
    bool leading = true;
    for (int t = 0; t < m; ++t) leading = leading && s.pivots[t] == t;
    if (request.det) det = leading ? number(d, sr.product) : number(0);
    return;
}

bool deficient_results(const scaled_rows& sr, const rank_profile& profile, bool proven,
                       matrix<rational<big_int>>& B, matrix<rational<big_int>>& Q, vector<int>& basis,
                       rational<big_int>& det, const engine_request& request, const pivot_guess* made) {
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
        if (!find_pivot_sequence(a, m, n, sr.lcms.data(), profile.cols.data(), r, tall_det, sequence,
                                 tall_det ? made : nullptr))
            return false;
        rows = sequence.rows.data();
    }
    // r == n: every column is a pivot column (proven by one prime), and B = I on top.
    const bool with_solution = r > 0 && r < n ? request.b || request.q || !proven : r > 0 && request.q;
    full_rank_solution s(std::max(r, 1), n, with_solution && (request.b || !proven), request.q);
    if (with_solution) {
        checked_buffer<big_int> sub(std::size_t(r) * n);
        copy_rows(a, n, rows, r, sub.data());
        solve_full_row_rank(sub.data(), s, true);
        if (!proven && (!std::equal(profile.cols.data(), profile.cols.data() + r, s.pivots.data()) ||
                        !rows_in_span(a, m, n, rows, s)))
            return false;
    }
    set_basis(basis, r, profile.cols.data());
    if (request.det) det = tall_det ? signed_minor(sr, sequence, r) : number(0);
    if (request.b) B.resize(m, n);
    if (request.q) Q.resize(m, m);
    const bool fill_b = request.b && sized(B, m, n), fill_q = request.q && sized(Q, m, m);
    if (fill_b && r == n)
        for (int t = 0; t < r; ++t) B(t, t) = number(1);
    else if (fill_b && r > 0)
        fill_reduced_rows(B, s);
    if (!fill_q) return true;
    if (r > 0) fill_transform_rows(Q, s, sr.lcms.data(), rows);
    fill_combination_rows(Q, sr, s, sequence, rows, r);
    return true;
}

bool tall_results(const scaled_rows& sr, pivot_guess& made, const pivot_guess*& tried,
                  matrix<rational<big_int>>& B, vector<int>& basis, rational<big_int>& det,
                  const engine_request& request) {
    using number = rational<big_int>;
    const int m = sr.m, n = sr.n;
    const big_int* a = sr.a.data();
    checked_buffer<int> cols(n);
    for (int j = 0; j < n; ++j) cols[j] = j;
    guess_pivot_rows(a, n, sr.lcms.data(), cols.data(), made);
    tried = &made;
    if (!made.complete) return false;
    pivot_sequence sequence(m, n);
    if (!prove_guessed_sequence(a, n, sr.lcms.data(), cols.data(), made, true, sequence)) return false;
    set_basis(basis, n);
    det = signed_minor(sr, sequence, n);
    if (request.b) {
        B.resize(m, n);
        if (sized(B, m, n))
            for (int t = 0; t < n; ++t) B(t, t) = number(1);
    }
    return true;
}

} // namespace velmora
