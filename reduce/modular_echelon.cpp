#include "reduce/modular_echelon.hpp"

#include "diag/checked_buffer.hpp"

#include <cassert>

namespace velmora {

namespace {

// w mod p for one word, p in (2^61, 2^62): the quotient is below 8.
residue word_mod(mag_word w, std::uint64_t p) {
    while (w >= p) w -= p;
    return w;
}

// 2^(64 j) mod p for j = 1 .. 4, as Shoup factors.
struct word_powers {
    explicit word_powers(std::uint64_t p) {
        residue t = static_cast<residue>((static_cast<unsigned __int128>(1) << 64) % p);
        for (int j = 0; j < 4; ++j) {
            power[j] = make_shoup_factor(t, p);
            t = mul_shoup(t, power[0], p);
        }
    }
    shoup_factor power[4];
};

// s mod p for s < 4p.
residue below_four_p(std::uint64_t s, std::uint64_t p) {
    s = s >= 2 * p ? s - 2 * p : s;
    return s >= p ? s - p : s;
}

// |x| mod p by Horner's rule in steps of four words from the top: each step is
// acc 2^256 + d3 2^192 + d2 2^128 + d1 2^64 + d0, five products by fixed factors
// (Shoup's method, which takes any word) of which only one waits for the last step.
residue magnitude_mod(const big_int_rep& r, std::uint64_t p, const word_powers& w) {
    const mag_word* d = r.digits;
    std::uint32_t k = r.len;
    residue acc = 0;
    // The words above the last multiple of four, one at a time.
    while (k % 4 != 0) {
        --k;
        acc = add_mod(mul_shoup(acc, w.power[0], p), word_mod(d[k], p), p);
    }
    while (k > 0) {
        k -= 4;
        const residue block = below_four_p(word_mod(d[k], p) + mul_shoup(d[k + 1], w.power[0], p) +
                                               mul_shoup(d[k + 2], w.power[1], p) + mul_shoup(d[k + 3], w.power[2], p),
                                           p);
        acc = add_mod(mul_shoup(acc, w.power[3], p), block, p);
    }
    return acc;
}

residue signed_mod(const big_int_rep& r, residue v, std::uint64_t p) { return r.sign < 0 && v != 0 ? p - v : v; }

} // namespace

residue reduce_mod(const big_int& x, std::uint64_t p) {
    const big_int_rep& r = x.rep();
    if (r.len == 0) return 0;
    if (r.len == 1) return signed_mod(r, word_mod(r.digits[0], p), p);
    return signed_mod(r, magnitude_mod(r, p, word_powers(p)), p);
}

void reduce_mod_all(const big_int* a, std::size_t count, std::uint64_t p, residue* out) {
    const word_powers powers(p);
    for (std::size_t e = 0; e < count; ++e) {
        const big_int_rep& r = a[e].rep();
        if (r.len == 0) out[e] = 0;
        else if (r.len == 1) out[e] = signed_mod(r, word_mod(r.digits[0], p), p);
        else out[e] = signed_mod(r, magnitude_mod(r, p, powers), p);
    }
}

namespace {

// row[c] += f * pivot_row[c] for c in [from, to).
void add_multiple(residue* row, const residue* pivot_row, int from, int to, shoup_factor f,
                  std::uint64_t p) {
    for (int c = from; c < to; ++c) row[c] = add_mod(row[c], mul_shoup(pivot_row[c], f, p), p);
}

void scale(residue* row, int from, int to, shoup_factor f, std::uint64_t p) {
    for (int c = from; c < to; ++c) row[c] = mul_shoup(row[c], f, p);
}

} // namespace

int permutation_sign(const int* perm, int m) {
    checked_buffer<unsigned char> seen(m);
    int sign = 1;
    for (int s = 0; s < m; ++s) {
        if (seen[s]) continue;
        int length = 0;
        for (int t = s; !seen[t]; t = perm[t]) {
            seen[t] = 1;
            ++length;
        }
        if (length % 2 == 0) sign = -sign;
    }
    return sign;
}

int modular_row_echelon(residue* W, int m, int n, std::uint64_t p, int* pivot_rows, int* pivot_cols,
                        residue& pivot_product) {
    checked_buffer<int> open_rows(m);  // rows without pivot, in order
    for (int k = 0; k < m; ++k) open_rows[k] = k;
    int open = m;
    pivot_product = 1;
    int t = 0;
    for (int j = 0; j < n && open > 0; ++j) {
        int at = 0;
        while (at < open && W[std::size_t(open_rows[at]) * n + j] == 0) ++at;
        if (at == open) continue;
        const int k = open_rows[at];
        residue* row = W + std::size_t(k) * n;
        pivot_product = mul_mod(pivot_product, row[j], p);
        scale(row, j + 1, n, make_shoup_factor(inverse_mod(row[j], p), p), p);
        row[j] = 1;
        // Rows without pivot are zero left of column j, and so is row k.
        for (int u = 0; u < open; ++u) {
            residue* other = W + std::size_t(open_rows[u]) * n;
            if (u == at || other[j] == 0) continue;
            add_multiple(other, row, j + 1, n, make_shoup_factor(p - other[j], p), p);
            other[j] = 0;
        }
        for (int u = at + 1; u < open; ++u) open_rows[u - 1] = open_rows[u];
        --open;
        pivot_rows[t] = k;
        pivot_cols[t] = j;
        ++t;
    }
    return t;
}

int modular_echelon(residue* W, residue* q, int m, int n, std::uint64_t p, int* pivot_rows,
                    int* pivot_cols, residue& det) {
    checked_buffer<unsigned char> has_pivot(m);
    residue pivot_product = 1;
    int t = 0;
    for (int j = 0; j < n && t < m; ++j) {
        int k = 0;
        while (k < m && (has_pivot[k] || W[std::size_t(k) * n + j] == 0)) ++k;
        if (k == m) continue;
        residue* row = W + std::size_t(k) * n;
        residue* q_row = q ? q + std::size_t(k) * m : nullptr;
        pivot_product = mul_mod(pivot_product, row[j], p);
        const shoup_factor inv = make_shoup_factor(inverse_mod(row[j], p), p);
        // Row k's unit in the identity part moves into column t, which no row operation
        // has touched yet (pivot rows so far only reach columns 0 .. t-1).
        if (q_row) {
            scale(q_row, 0, t, inv, p);
            q_row[t] = inv.w;
        }
        scale(row, j + 1, n, inv, p);
        row[j] = 1;
        for (int k2 = 0; k2 < m; ++k2) {
            residue* other = W + std::size_t(k2) * n;
            if (k2 == k || other[j] == 0) continue;
            const shoup_factor f = make_shoup_factor(p - other[j], p);
            // Row k is zero left of column j: earlier columns are pivot columns cleared
            // by their own pivots, or columns that were zero below the pivot rows.
            add_multiple(other, row, j + 1, n, f, p);
            other[j] = 0;
            if (q_row) add_multiple(q + std::size_t(k2) * m, q_row, 0, t + 1, f, p);
        }
        has_pivot[k] = 1;
        pivot_rows[t] = k;
        pivot_cols[t] = j;
        ++t;
    }
    if (t == m) {
        // The eliminated rows, taken in pivot order, form the identity on the pivot
        // columns; undoing the row order and the divisions by the pivots gives the minor.
        det = permutation_sign(pivot_rows, m) < 0 ? (pivot_product == 0 ? 0 : p - pivot_product)
                                                  : pivot_product;
    }
    return t;
}

} // namespace velmora
