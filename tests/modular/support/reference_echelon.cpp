#include "reference_echelon.hpp"

#include "diag/checked_buffer.hpp"
#include "modular/modular_lu.hpp"

namespace velmora {

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
