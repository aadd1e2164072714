#include "engine/multimodular.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "diag/checked_buffer.hpp"
#include "engine/determinant.hpp"
#include "engine/echelon_results.hpp"
#include "engine/full_rank_solution.hpp"
#include "engine/padic_det.hpp"
#include "engine/pivot_guess.hpp"
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
