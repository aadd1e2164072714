#include "reduce/multimodular.hpp"

#include "rational/gcd.hpp"
#include "diag/checked_buffer.hpp"
#include "reduce/crt.hpp"
#include "bigint/arithmetic.hpp"
#include "reduce/minor_bound.hpp"
#include "reduce/modular_echelon.hpp"

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
    big_int& scaled_b(int t, int k) { return values[std::size_t(t) * width + k]; }
    // D Q(t, i) (when with_q).
    big_int& scaled_q(int t, int i) { return values[std::size_t(m) * width + std::size_t(t) * m + i]; }
    big_int& minor() { return values[values.size() - 1]; }

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
// first prime of the table is below m, or when the table runs out of primes.
//
// Lucky primes. Over the rationals the t-th pivot column is the first column j such that
// columns 0 .. j have rank t + 1; modulo p every such rank can only drop, so the t-th
// pivot column modulo p is never before the true one. Hence of two primes whose pivot
// lists differ, the one with the later column at the first difference is certainly
// wrong, and is dropped. A prime gives the true pivot columns P exactly when it does not
// divide d = det a_P, which is nonzero and below 2^h (h from minor_bound_bits). The
// primes kept all agree; their product exceeds 2^(h+1) > |d|, so they cannot all divide
// d: one of them, and with it every one, gives P. The same product bounds the
// symmetric remainders: every value sought is a minor of a, below 2^h.
bool solve(const big_int* a, full_rank_solution& s) {
    const int m = s.m, n = s.n;
    const std::size_t width = s.width;
    checked_buffer<residue> w(std::size_t(m) * n), q(s.with_q ? std::size_t(m) * m : 0);
    checked_buffer<int> rows(m), cols(m), non_pivots(n - m);
    residue det = 0;
    auto image = [&](int index) {
        const std::uint64_t p = table_prime(index);
        for (std::size_t e = 0; e < w.size(); ++e) w[e] = reduce_mod(a[e], p);
        std::fill(q.data(), q.data() + q.size(), residue(0));
        return modular_echelon(w.data(), s.with_q ? q.data() : nullptr, m, n, p, rows.data(), cols.data(), det);
    };
    if (image(0) < m) return false;

    const long h = minor_bound_bits(a, m, n);
    const long needed = (h + 2 + table_prime_bits - 1) / table_prime_bits;  // 62 K - 1 >= h + 1
    if (needed > prime_table_size) return false;
    const int k = static_cast<int>(needed);
    const std::size_t count = s.values.size();
    checked_buffer<residue> residues(std::size_t(k) * count);
    checked_buffer<std::uint64_t> primes(k);

    // Stores the image just computed as the residues of D B, D Q and D in slot `slot`.
    auto keep = [&](int slot, std::uint64_t p) {
        residue* out = residues.data() + std::size_t(slot) * count;
        const shoup_factor d = make_shoup_factor(det, p);
        for (int t = 0; t < m; ++t) {
            const residue* row = w.data() + std::size_t(rows[t]) * n;
            for (std::size_t c = 0; c < width; ++c) out[t * width + c] = mul_shoup(row[non_pivots[c]], d, p);
        }
        if (s.with_q) {
            residue* out_q = out + std::size_t(m) * width;
            for (int t = 0; t < m; ++t) {
                const residue* row = q.data() + std::size_t(rows[t]) * m;
                for (int u = 0; u < m; ++u) out_q[std::size_t(t) * m + rows[u]] = mul_shoup(row[u], d, p);
            }
        }
        out[count - 1] = det;
        primes[slot] = p;
    };
    auto take_pivots = [&] {
        std::copy(cols.data(), cols.data() + m, s.pivots.data());
        std::size_t c = 0;
        for (int j = 0, t = 0; j < n; ++j) {
            if (t < m && s.pivots[t] == j) ++t;
            else non_pivots[c++] = j;
        }
    };
    take_pivots();
    keep(0, table_prime(0));
    int kept = 1;
    for (int index = 1; kept < k; ++index) {
        if (index == prime_table_size) return false;
        if (image(index) < m) continue;
        const int order = compare_pivots(cols.data(), s.pivots.data(), m);
        if (order > 0) continue;
        if (order < 0) {
            kept = 0;
            take_pivots();
        }
        keep(kept++, table_prime(index));
    }
    reconstruct_symmetric(residues.data(), primes.data(), k, count, s.values.data());
    return true;
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

// Both output matrices could be given their sizes.
template <class T>
bool sized(const matrix<T>& M, int m, int n) {
    return M.rows() == m && M.cols() == n;
}

} // namespace

bool multimodular_echelon(const matrix<rational<big_int>>& A, matrix<rational<big_int>>& B,
                          matrix<rational<big_int>>& Q, vector<int>& basis, rational<big_int>& det,
                          bool with_b, bool with_q) {
    using number = rational<big_int>;
    const int m = A.rows(), n = A.cols();
    if (m == 0 || n == 0 || m > n) return false;
    // Row i times the lcm L_i of its denominators: the same B, and Q with column i
    // multiplied by L_i.
    checked_buffer<big_int> a(std::size_t(m) * n), lcms(m);
    big_int lcm_product(1);
    for (int i = 0; i < m; ++i) {
        big_int l(1);
        for (int j = 0; j < n; ++j) {
            const big_int& d = A(i, j).denominator;
            if (d.rep().len == 0) return false;  // not a number: left to reduced_echelon
            l = l * (d / gcd(l, d));
        }
        for (int j = 0; j < n; ++j) {
            const number& x = A(i, j);
            a[std::size_t(i) * n + j] = l == x.denominator ? x.numerator : x.numerator * (l / x.denominator);
        }
        lcms[i] = l;
        lcm_product = lcm_product * l;
    }
    full_rank_solution s(m, n, with_b, with_q);
    if (!solve(a.data(), s)) return false;

    const big_int& d = s.minor();
    if (with_b) B.resize(m, n);
    if (with_q) Q.resize(m, m);
    if (with_b && sized(B, m, n)) {
        for (int t = 0; t < m; ++t) {
            B(t, s.pivots[t]) = number(1);
            for (int c = 0, k = 0, u = 0; c < n; ++c) {
                if (u < m && s.pivots[u] == c) ++u;
                else B(t, c) = over(s.scaled_b(t, k++), d);
            }
        }
    }
    if (with_q && sized(Q, m, m))
        for (int t = 0; t < m; ++t)
            for (int i = 0; i < m; ++i) Q(t, i) = over(s.scaled_q(t, i) * lcms[i], d);
    set_basis(basis, s);
    // The leading m-by-m minor of A, which vanishes unless the pivots are 0 .. m-1.
    bool leading = true;
    for (int t = 0; t < m; ++t) leading = leading && s.pivots[t] == t;
    det = leading ? number(d, lcm_product) : number(0);
    return true;
}

bool multimodular_echelon_int(const matrix<big_int>& A, matrix<big_int>& B, matrix<big_int>& Q,
                              vector<int>& basis, big_int& det, bool with_b, bool with_q) {
    const int m = A.rows(), n = A.cols();
    if (m == 0 || n == 0 || m > n) return false;
    checked_buffer<big_int> a(std::size_t(m) * n);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) a[std::size_t(i) * n + j] = A(i, j);
    // The content of a row of B is taken together with the row of Q.
    full_rank_solution s(m, n, with_b, with_b || with_q);
    if (!solve(a.data(), s)) return false;

    // Row t of [D B | D Q] divided by its content, with the sign of D taken out so that
    // the pivot D becomes positive.
    const big_int& d = s.minor();
    const big_int zero(0), one(1);
    const int width = s.width;
    if (with_b) B.resize(m, n);
    if (with_q) Q.resize(m, m);
    const bool fill_b = with_b && sized(B, m, n), fill_q = with_q && sized(Q, m, m);
    for (int t = 0; t < m && (fill_b || fill_q); ++t) {
        big_int g = abs(d);
        for (int k = 0; k < width && g != one; ++k) g = gcd(g, s.scaled_b(t, k));
        for (int i = 0; s.with_q && i < m && g != one; ++i) g = gcd(g, s.scaled_q(t, i));
        const big_int divisor = d < zero ? -g : g;
        auto divided = [&](const big_int& x) { return divisor == one ? x : x / divisor; };
        if (fill_b) {
            B(t, s.pivots[t]) = divided(d);
            for (int c = 0, k = 0, u = 0; c < n; ++c) {
                if (u < m && s.pivots[u] == c) ++u;
                else B(t, c) = divided(s.scaled_b(t, k++));
            }
        }
        if (fill_q)
            for (int i = 0; i < m; ++i) Q(t, i) = divided(s.scaled_q(t, i));
    }
    set_basis(basis, s);
    det = d;
    return true;
}

} // namespace velmora
