#include "engine/multimodular.hpp"

#include "diag/checked_buffer.hpp"
#include "diag/thread_pool.hpp"
#include "rational/gcd.hpp"
#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "engine/determinant.hpp"
#include "engine/full_rank_solution.hpp"
#include "engine/padic_det.hpp"
#include "engine/pivot_sequence.hpp"
#include "bigint/product_sum.hpp"
#include "engine/rank_profile.hpp"

#include <algorithm>
#include <optional>

namespace velmora {

namespace {

// The rows of a (m-by-n) listed in rows[0 .. count-1], in that order, as a count-by-n array.
void copy_rows(const big_int* a, int n, const int* rows, int count, big_int* out) {
    for (int t = 0; t < count; ++t)
        std::copy(a + std::size_t(rows[t]) * n, a + std::size_t(rows[t] + 1) * n, out + std::size_t(t) * n);
}

// basis := the pivot columns cols[0 .. count-1], or 0 .. count-1 when cols is null.
void set_basis(vector<int>& basis, int count, const int* cols = nullptr) {
    basis.resize(0);
    for (int t = 0; t < count; ++t) basis.append_item(cols ? cols[t] : t);
}

// The longest of x[0 .. count-1] in words, and at least 1.
std::size_t longest_words(const big_int* x, std::size_t count) {
    std::size_t words = 1;
    for (std::size_t e = 0; e < count; ++e) words = std::max<std::size_t>(words, x[e].rep().len);
    return words;
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

// Both output matrices could be given their sizes.
template <class T>
bool sized(const matrix<T>& M, int m, int n) {
    return M.rows() == m && M.cols() == n;
}


// Words of an entry from which a matrix of at most two rows or columns is left to the
// row-by-row elimination. Measured on 2-by-3 matrices (gmp kernel), zerk -l by primes
// against row by row: 256 words 0.01 s and 0.00 s, 1,024 words 0.10 s and 0.05 s, 16,384
// words 3.3 s and 2.1 s; on 3-by-3 the two are even, from 4-by-4 on the primes win.
constexpr std::uint32_t long_entry_words = 64;
// The most rows or columns of a matrix left to the row-by-row elimination for its long
// entries, by the same measurements.
constexpr int few_lines = 2;

// Whether the row-by-row elimination is the cheaper method: with at most two rows or
// columns it makes a handful of row operations on the entries, while the primes needed
// grow with their length. Both methods print the same bytes; this only chooses.
bool few_lines_of_long_entries(const big_int* a, int m, int n) {
    if (std::min(m, n) > few_lines) return false;
    for (std::size_t e = 0; e < std::size_t(m) * n; ++e)
        if (a[e].rep().len > long_entry_words) return true;
    return false;
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
        set_basis(basis, m);
        if (request.det) det = number(leading_determinant(sr.a.data(), m, n), sr.product);
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
//
// made: the search in doubles already made on all n columns (see find_pivot_sequence).
bool deficient_results(const scaled_rows& sr, const rank_profile& profile, bool proven,
                       matrix<rational<big_int>>& B, matrix<rational<big_int>>& Q, vector<int>& basis,
                       rational<big_int>& det, const engine_request& request, const pivot_guess* made = nullptr) {
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

// A tall matrix (m > n) asked for det but not Q: its search in doubles on all columns,
// when proven (see prove_guessed_sequence), takes n rows on which the matrix is
// nonsingular. So the rank is n, every column is a pivot column, B = [I; 0], and det is
// the minor on those rows with the sign of the search's exchanges. False when the guess
// is not complete or not proven; tried then points to it (for find_pivot_sequence).
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

// The p-adic shortcut for a square matrix asked for det but neither B nor Q, where a p-adic
// solution pays (see padic_pays): det A from padic_determinant alone, and as a nonzero
// determinant proves full rank, the basis of every column. False, with nothing set, when
// the shortcut does not apply or A is singular modulo the first primes tried.
bool padic_square_results(const big_int* a, int m, int n, const engine_request& request, vector<int>& basis,
                          big_int& det_a) {
    if (m != n || !request.det || request.b || request.q || !padic_pays(a, m, std::size_t(n))) return false;
    if (!padic_determinant(a, m, std::size_t(n), det_a)) return false;
    set_basis(basis, m);
    return true;
}

// B and Q of an integer matrix of full row rank from its solution s (with_q set), where
// given: row t of [D B | D Q] divided by its content, with the sign of D taken out so that
// the pivot D becomes positive. The content of a row of B is taken together with the row
// of Q.
void fill_content_free_rows(matrix<big_int>* B, matrix<big_int>* Q, const full_rank_solution& s) {
    if (!B && !Q) return;
    const int m = s.m, n = s.n, width = s.width;
    const big_int& d = s.minor();
    const big_int zero(0), one(1);
    in_row_blocks(m, [&](int first, int last) {
        const big_int own_d = own_record(d);
        for (int t = first; t < last; ++t) {
            big_int g = abs(own_d);
            for (int k = 0; k < width && g != one; ++k) g = gcd(g, s.scaled_b(t, k));
            for (int i = 0; s.with_q && i < m && g != one; ++i) g = gcd(g, s.scaled_q(t, i));
            const big_int divisor = own_d < zero ? -g : g;
            auto divided = [&](const big_int& x) { return divisor == one ? x : x / divisor; };
            if (B) {
                (*B)(t, s.pivots[t]) = divided(own_d);
                for (int c = 0, k = 0, u = 0; c < n; ++c) {
                    if (u < m && s.pivots[u] == c) ++u;
                    else (*B)(t, c) = divided(s.scaled_b(t, k++));
                }
            }
            if (Q)
                for (int i = 0; i < m; ++i) (*Q)(t, i) = divided(s.scaled_q(t, i));
        }
    });
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
    if (few_lines_of_long_entries(a, m, n)) return false;
    const bool need_columns = request.b || request.q || request.basis;
    // A tall matrix's search in doubles, when made first and tried.
    std::optional<pivot_guess> tall_guess;
    const pivot_guess* made = nullptr;
    if (m > n && request.det && !request.q) {
        tall_guess.emplace(m, n);
        if (tall_results(sr, *tall_guess, made, B, basis, det, request)) return true;
    }
    big_int square_det;
    if (request.b || request.q) {
        // One prime's profile, proven or refuted by the results themselves.
        rank_profile guess(m, n);
        first_prime_profile(a, m, n, guess);
        if (guess.rank == m) {
            full_row_rank_results(sr, B, Q, basis, det, request);
            return true;
        }
        if (deficient_results(sr, guess, guess.columns_proven, B, Q, basis, det, request, made)) return true;
    } else if (!request.basis && padic_square_results(a, m, n, request, basis, square_det)) {
        // Asked for the basis too, the rational matrix takes the branch below instead.
        det = number(square_det, sr.product);
        return true;
    } else if (m <= n && first_prime_rank(a, m, n) == m) {
        // Full row rank is proven by one prime: the rank cannot exceed m.
        if (need_columns) {
            full_row_rank_results(sr, B, Q, basis, det, request);
            return true;
        }
        set_basis(basis, m);  // the rank; the columns are not asked for
        if (request.det) det = number(leading_determinant(a, m, n), sr.product);
        return true;
    }
    rank_profile profile(m, n);
    find_rank_profile(a, m, n, {need_columns, false}, profile);
    if (profile.rank == m) {
        full_row_rank_results(sr, B, Q, basis, det, request);
        return true;
    }
    deficient_results(sr, profile, true, B, Q, basis, det, request, made);
    return true;
}

bool multimodular_echelon_int(const matrix<big_int>& A, matrix<big_int>& B, matrix<big_int>& Q,
                              vector<int>& basis, big_int& det, const engine_request& request) {
    const int m = A.rows(), n = A.cols();
    if (m == 0 || n == 0) return false;
    checked_buffer<big_int> a(std::size_t(m) * n);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) a[std::size_t(i) * n + j] = A(i, j);
    if (few_lines_of_long_entries(a.data(), m, n)) return false;
    if (padic_square_results(a.data(), m, n, request, basis, det)) return true;
    const bool full_rows = m <= n && first_prime_rank(a.data(), m, n) == m;
    // Below full row rank B and Q are left to the elimination; a prime that shows a lower
    // rank is almost always right, and the elimination is right in any case.
    if (!full_rows && (request.b || request.q)) return false;
    if (full_rows && !request.b && !request.q && (m == n || (!request.basis && !request.det))) {
        // The rank alone, or a square matrix: every column is a pivot column and det is det A.
        set_basis(basis, m);
        if (request.det) det = leading_determinant(a.data(), m, n);
        return true;
    }
    if (!full_rows) {
        rank_profile profile(m, n);
        find_rank_profile(a.data(), m, n, {request.basis || (request.det && m <= n), request.det && m <= n},
                          profile);
        if (profile.rank < m) {
            set_basis(basis, profile.rank, profile.cols.data());
            if (request.det) det = big_int(0);  // every m-by-m minor vanishes
            return true;
        }
        if (!request.b && !request.q) {
            set_basis(basis, m, profile.cols.data());
            if (request.det) det = profile.det;
            return true;
        }
    }
    // The content of a row of B is taken together with the row of Q (see
    // fill_content_free_rows).
    full_rank_solution s(m, n, request.b, request.b || request.q);
    if (!solve_full_row_rank(a.data(), s, true)) return false;

    if (request.b) B.resize(m, n);
    if (request.q) Q.resize(m, m);
    fill_content_free_rows(request.b && sized(B, m, n) ? &B : nullptr, request.q && sized(Q, m, m) ? &Q : nullptr, s);
    set_basis(basis, m, s.pivots.data());
    if (request.det) det = s.minor();
    return true;
}

} // namespace velmora
