#include "modular/modular_lu.hpp"

#include <algorithm>
#include <climits>

namespace velmora {

std::atomic<long> detail::factorisations{0};

modular_lu::modular_lu(int m, int n)
    : m_(m), n_(n), most_(std::max(1, std::min(m, n))), l_(std::size_t(m) * most_), u_(std::size_t(n) * most_),
      rows_(most_), cols_(most_), step_of_row_(m), known_(m), pivot_inverse_(most_), u_p_(1), u_inverse_(1) {}

int modular_lu::factor(const residue* W, std::uint64_t p) {
    detail::count_factorisation();
    p_ = p;
    fold_ = make_fold_factors(p);
    processed_ = 0;
    u_p_made_ = false;
    for (int k = 0; k < m_; ++k) {
        step_of_row_[k] = INT_MAX;
        known_[k] = 0;
    }
    // Row k's multipliers of the steps before t: each from its entry of the Schur complement
    // in that step's pivot column, a[k, c_s] - (multipliers of k before s) . (column c_s of U).
    auto catch_up = [&](int k, int t) {
        residue* l = l_row(k);
        for (int s = known_[k]; s < t; ++s) {
            const int c = cols_[s];
            l[s] = mul_shoup(sub_mod(W[std::size_t(k) * n_ + c], dot_mod(l, u_col(c), s, fold_), p),
                             pivot_inverse_[s], p);
        }
        known_[k] = t;
    };
    int t = 0;
    for (int j = 0; j < n_ && t < m_; ++j) {
        residue* column = u_col(j);
        // The pivot rows' entries of column j (a forward substitution), then the Schur
        // complement's entries of the rows without pivot, in row order up to the first that
        // is nonzero: the pivot. The rows after it are brought up to date only when a later
        // column reaches them, so that a tall matrix whose first rows are independent is
        // factored at the cost of its top square.
        for (int v = 0; v < t; ++v) {
            const int k = rows_[v];
            column[v] = sub_mod(W[std::size_t(k) * n_ + j], dot_mod(l_row(k), column, v, fold_), p);
        }
        int pivot = -1;
        residue v = 0;
        for (int k = 0; k < m_ && pivot < 0; ++k) {
            if (step_of_row_[k] != INT_MAX) continue;
            catch_up(k, t);
            v = sub_mod(W[std::size_t(k) * n_ + j], dot_mod(l_row(k), column, t, fold_), p);
            if (v != 0) pivot = k;
        }
        // Rows that become pivots later are zero in this column by then.
        std::fill(column + t + (pivot < 0 ? 0 : 1), column + most_, residue(0));
        processed_ = j + 1;
        if (pivot < 0) continue;
        column[t] = v;
        pivot_inverse_[t] = make_shoup_factor(inverse_mod(v, p), p);
        step_of_row_[pivot] = t;
        rows_[t] = pivot;
        cols_[t] = j;
        ++t;
    }
    rank_ = t;
    return t;
}

residue modular_lu::pivot_product() const {
    residue product = 1;
    for (int t = 0; t < rank_; ++t) product = mul_mod(product, u_[std::size_t(cols_[t]) * most_ + t], p_);
    return product;
}

residue modular_lu::determinant() const {
    if (rank_ < m_) return 0;
    const residue product = pivot_product();
    return product != 0 && permutation_sign(rows_.data(), m_) < 0 ? p_ - product : product;
}

void modular_lu::reduced_form(residue* W, residue* q, residue& det) {
    const int m = m_;
    const std::uint64_t p = p_;
    det = determinant();
    // U_P by rows, and the inverses of its diagonal.
    checked_buffer<residue> u_p(std::size_t(m) * m), x(m), z(m);
    checked_buffer<shoup_factor> inverse(m);
    for (int v = 0; v < m; ++v) {
        for (int u = v; u < m; ++u) u_p[std::size_t(v) * m + u] = u_col(cols_[u])[v];
        inverse[v] = make_shoup_factor(inverse_mod(u_p[std::size_t(v) * m + v], p), p);
    }
    // x := U_P^-1 y by back substitution, y in x on entry.
    auto back_substitute = [&] {
        for (int v = m - 1; v >= 0; --v) {
            const residue* row = u_p.data() + std::size_t(v) * m;
            x[v] = mul_shoup(sub_mod(x[v], dot_mod(row + v + 1, x.data() + v + 1, m - 1 - v, fold_), p), inverse[v], p);
        }
    };
    // Columns after the last pivot, left alone by the factorisation: their rows of U.
    for (int c = processed_; c < n_; ++c)
        for (int v = 0; v < m; ++v) {
            const int k = rows_[v];
            u_col(c)[v] = sub_mod(W[std::size_t(k) * n_ + c], dot_mod(l_row(k), u_col(c), v, fold_), p);
        }
    int t = 0;
    for (int c = 0; c < n_; ++c) {
        if (t < m && cols_[t] == c) {
            for (int v = 0; v < m; ++v) W[std::size_t(rows_[v]) * n_ + c] = v == t ? 1 : 0;
            ++t;
            continue;
        }
        std::copy(u_col(c), u_col(c) + m, x.data());
        back_substitute();
        for (int v = 0; v < m; ++v) W[std::size_t(rows_[v]) * n_ + c] = x[v];
    }
    if (q == nullptr) return;
    // Column u of (W on P)^-1, the one of row rows_[u], is U_P^-1 L^-1 e_u, with L in
    // pivot order: L[w][v] = l_row(rows_[w])[v] for v < w.
    for (int u = 0; u < m; ++u) {
        std::fill(z.data(), z.data() + m, residue(0));
        z[u] = 1;
        for (int w = u + 1; w < m; ++w) {
            const residue* l = l_row(rows_[w]);
            z[w] = p - dot_mod(l + u, z.data() + u, w - u, fold_);
            if (z[w] == p) z[w] = 0;
        }
        std::copy(z.data(), z.data() + m, x.data());
        back_substitute();
        for (int v = 0; v < m; ++v) q[std::size_t(rows_[v]) * m + u] = x[v];
    }
}

void modular_lu::solve(const residue* y, residue* x) {
    const int m = m_;
    const std::uint64_t p = p_;
    if (!u_p_made_) {
        u_p_.resize(std::size_t(m) * m);
        u_inverse_.resize(std::size_t(m));
        for (int v = 0; v < m; ++v) {
            for (int u = v; u < m; ++u) u_p_[std::size_t(v) * m + u] = u_col(cols_[u])[v];
            u_inverse_[v] = make_shoup_factor(inverse_mod(u_p_[std::size_t(v) * m + v], p), p);
        }
        u_p_made_ = true;
    }
    // z = L^-1 (y in pivot order), then x = U_P^-1 z.
    checked_buffer<residue> z(m);
    for (int w = 0; w < m; ++w) z[w] = sub_mod(y[rows_[w]], dot_mod(l_row(rows_[w]), z.data(), w, fold_), p);
    for (int v = m - 1; v >= 0; --v) {
        const residue* row = u_p_.data() + std::size_t(v) * m;
        z[v] = mul_shoup(sub_mod(z[v], dot_mod(row + v + 1, z.data() + v + 1, m - 1 - v, fold_), p), u_inverse_[v], p);
    }
    std::copy(z.data(), z.data() + m, x);
}

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

} // namespace velmora
