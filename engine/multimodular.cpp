#include "engine/multimodular.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/product_sum.hpp"
#include "diag/checked_buffer.hpp"
#include "engine/det_bound.hpp"
#include "engine/determinant.hpp"
#include "engine/echelon_results.hpp"
#include "engine/full_rank_solution.hpp"
#include "engine/padic_det.hpp"
#include "engine/pivot_guess.hpp"
#include "engine/pivot_sequence.hpp"
#include "engine/rank_profile.hpp"
#include "rational/gcd.hpp"

#include <algorithm>
#include <optional>

namespace velmora {

namespace {

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

// The p-adic shortcut for a square matrix asked for det but neither B nor Q, where a p-adic
// solution pays (see padic_pays): det A from padic_determinant alone, with the bound on
// |det A| from doubles beside it (which spares it the primes taken ahead where it holds),
// and as a nonzero determinant proves full rank, the basis of every column. False, with
// nothing set, when the shortcut does not apply or A is singular modulo the first primes
// tried.
bool padic_square_results(const big_int* a, int m, int n, const engine_request& request, vector<int>& basis,
                          big_int& det_a) {
    if (m != n || !request.det || request.b || request.q || !padic_pays(a, m, std::size_t(n))) return false;
    square_det_bound bound(a, m, std::size_t(n));
    if (!padic_determinant(a, m, std::size_t(n), det_a, bound.work())) return false;
    set_basis(basis, m);
    return true;
}

// B and Q of an integer matrix of full row rank from its solution s (with_q set), where
// given: row t of [D B | D Q] divided by its content, with the sign of D taken out so that
// the pivot D becomes positive. The content of a row of B is taken together with the row
// of Q. Column i of s's Q goes to column q_columns[i] of Q (to column i when q_columns is
// null), whose other entries are left as they are.
void fill_content_free_rows(matrix<big_int>* B, matrix<big_int>* Q, const full_rank_solution& s,
                            const int* q_columns = nullptr) {
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
                for (int i = 0; i < m; ++i) (*Q)(t, q_columns ? q_columns[i] : i) = divided(s.scaled_q(t, i));
        }
    });
}

// The rows of Q below the r pivot rows of an integer matrix of rank r < m, from the solution
// s for its pivot rows (rows[0 .. r-1], in pivot order): at position k, holding row i, the
// primitive positive multiple of the unit vector of i minus c(i) placed in the columns
// rows[u], c(i) = a[i, P] a[rows, P]^-1. Times |D| that is |D| at column i and
// -sign(D) (a[i, P] (D a[rows, P]^-1))_u at column rows[u], an integer row; its content
// divides |D|.
void fill_content_free_combinations(matrix<big_int>& Q, const big_int* a, int m, int n, const full_rank_solution& s,
                                    const pivot_sequence& sequence, int r) {
    const std::size_t a_words = longest_words(a, std::size_t(m) * n);
    std::size_t q_words = 1;
    for (int t = 0; t < r; ++t)
        for (int u = 0; u < r; ++u) q_words = std::max<std::size_t>(q_words, s.scaled_q(t, u).rep().len);
    const big_int zero(0), one(1);
    in_row_blocks(m - r, [&](int first, int last) {
        product_sum combination(product_sum_words(a_words, q_words, std::size_t(r)));
        const big_int own_d = own_record(r > 0 ? s.minor() : one);
        const big_int d = abs(own_d);
        checked_buffer<big_int> y(std::max(r, 1));
        for (int k = r + first; k < r + last; ++k) {
            const int i = sequence.order[k];
            big_int g = d;
            for (int u = 0; u < r; ++u) {
                combination.clear();
                for (int t = 0; t < r; ++t) combination.add_product(a[std::size_t(i) * n + s.pivots[t]], s.scaled_q(t, u));
                y[u] = own_d < zero ? combination.value() : -combination.value();
                if (g != one) g = gcd(g, y[u]);
            }
            Q(k, i) = g == one ? d : exact_quotient(d, g);
            for (int u = 0; u < r; ++u) Q(k, sequence.rows[u]) = g == one ? y[u] : exact_quotient(y[u], g);
        }
    });
}

// B and Q (those not null) of an integer matrix of rank r < m with its proven profile, as
// reduced_echelon_int makes them. Its fraction-free elimination keeps every row a primitive
// positive multiple of the row that the elimination in rationals holds after the same
// pivot rows (see find_integer_pivot_sequence): so once the sequence is known, the rows
// are the closed form of that elimination, each made primitive with a positive pivot (or,
// below the pivot rows, a positive entry in the row's own column of Q). The pivot rows are
// those of the solution for the pivot rows; B is zero below them. False, with nothing set,
// when the profile's columns are refuted.
bool deficient_integer_results(const big_int* a, int m, int n, const rank_profile& profile, matrix<big_int>* B,
                               matrix<big_int>* Q) {
    const int r = profile.rank;
    pivot_sequence sequence(m, r);
    if (r == 0) {
        for (int k = 0; k < m; ++k) sequence.order[k] = k;
    } else if (!find_integer_pivot_sequence(a, m, n, profile.cols.data(), r, sequence)) {
        return false;
    }
    // The pivot rows' contents are taken with their rows of Q, asked for or not.
    full_rank_solution s(std::max(r, 1), n, B != nullptr, true);
    if (r > 0) {
        checked_buffer<big_int> rows(std::size_t(r) * n);
        copy_rows(a, n, sequence.rows.data(), r, rows.data());
        solve_full_row_rank(rows.data(), s, true);
    }
    if (B) B->resize(m, n);
    if (Q) Q->resize(m, m);
    matrix<big_int>* b = B && sized(*B, m, n) ? B : nullptr;
    matrix<big_int>* q = Q && sized(*Q, m, m) ? Q : nullptr;
    if (r > 0) fill_content_free_rows(b, q, s, sequence.rows.data());
    if (q) fill_content_free_combinations(*q, a, m, n, s, sequence, r);
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
        if (request.det) {
            square_det_bound bound(a, m, std::size_t(n));
            det = number(leading_determinant(a, m, n, bound.work()), sr.product);
        }
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
    if (full_rows && !request.b && !request.q && (m == n || (!request.basis && !request.det))) {
        // The rank alone, or a square matrix: every column is a pivot column and det is det A.
        set_basis(basis, m);
        if (request.det) {
            square_det_bound bound(a.data(), m, std::size_t(n));
            det = leading_determinant(a.data(), m, n, bound.work());
        }
        return true;
    }
    if (!full_rows) {
        const bool with_b_or_q = request.b || request.q;
        rank_profile profile(m, n);
        find_rank_profile(a.data(), m, n,
                          {with_b_or_q || request.basis || (request.det && m <= n), request.det && m <= n}, profile);
        if (profile.rank < m) {
            if (with_b_or_q && !deficient_integer_results(a.data(), m, n, profile, request.b ? &B : nullptr,
                                                          request.q ? &Q : nullptr))
                return false;
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
