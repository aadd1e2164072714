#include "reduce/reduced_echelon_int.hpp"

#include "containers/narration.hpp"
#include "diag/checked_buffer.hpp"
#include "diag/report.hpp"
#include "reduce/pivot.hpp"
#include "rational/gcd.hpp"
#include "reduce/content.hpp"

namespace velmora {

namespace {

// Row k of M divided by d, which divides every entry of it (a row content). A row that M
// does not have goes to div_row, for its report.
void divide_row_exactly(matrix<big_int>& M, int k, const big_int& d) {
    if (k < 0 || k >= M.rows()) {
        M.div_row(k, d);
        return;
    }
    for (int j = 0; j < M.cols(); ++j) M(k, j) = exact_quotient(M(k, j), d);
}

// Row k of M becomes c * row k + e * row i: the values of mult_row(k, c) and then
// add_rows(k, i, e), one new value per entry instead of three. Bad rows, or a matrix
// after a failed operation, take those two calls for their reports.
void combine_rows(matrix<big_int>& M, int k, const big_int& c, int i, const big_int& e) {
    if (k < 0 || k >= M.rows() || i < 0 || i >= M.rows() || k == i || matrix_status != 1) {
        M.mult_row(k, c);
        M.add_rows(k, i, e);
        return;
    }
    for (int j = 0; j < M.cols(); ++j) M(k, j) = combination(c, M(k, j), e, M(i, j));
}

} // namespace

void reduced_echelon_int(const matrix<big_int>& A, matrix<big_int>& B, matrix<big_int>& Q,
                         vector<int>& basis, big_int& det, int movie, std::ostream& out) {
    const big_int zero(0), one(1);
    // det is (-1)^s times the product of B's pivots and of every content d, divided by the
    // product of every row multiplier c. The row operations on Q multiply its determinant by
    // c, divide it by d or change its sign, and Q stays an integer matrix, so the running
    // quotient (product of c) / (product of d) is always the integer |det Q|: it is kept as
    // one value, far smaller than the product of the c, and every division is exact.
    int det_sign = 1;
    big_int det_q(1);
    det = big_int(1);
    Q = scalar_matrix(big_int(1), A.rows());
    B = A;
    basis.resize(0);
    if (movie) {
        out << "Reduced row echelon form for integral matrix" << end_narration_line;
        narrate_tables(out, B, Q);
    }
    // B's own dimensions bound the loop: they equal A's unless B could not be sized.
    const int m = B.rows(), n = B.cols();
    // det_q is needed only at full row rank; once too few columns are left for m pivots
    // (from the start when m > n) det is 0, and det_q is left alone.
    bool full_rank_possible = m <= n;
    // In LaTeX the operations of each step are written under its narration line.
    const bool notes = movie && narrates_row_operations(out);
    row_operations ops;
    int i = 0;
    for (int j = 0; i < m && j < n; ++j) {
        if (movie) out << "Find non-zero entry in the column " << j << end_narration_line << std::flush;
        const int p = pivot_row(B, i, j);
        if (p < 0) {
            if (movie) out << "Column " << j << " is negligible" << end_narration_line;
            if (n - j - 1 < m - i) full_rank_possible = false;
            continue;
        }
        if (movie) out << "Pivot item: (" << p << ", " << j << ")" << end_narration_line;
        if (movie && p == i) narrate_pivot(out, B, Q, table_mark{i, j});
        if (p != i) exchange_rows(B, Q, i, p, j, det_sign, movie, out);
        big_int v = B(i, j);
        if (v < zero) {
            if (notes) ops.negate(i);
            const big_int minus_one(-1);
            B.mult_row(i, minus_one);
            Q.mult_row(i, minus_one);
            v = -v;
            det_sign = -det_sign;
        }
        for (int k = 0; k < m; ++k) {
            if (k == i) continue;
            const big_int b = B(k, j);
            // A zero entry would leave the row as it is: g = v, c = 1 and e = 0, and the row is
            // primitive already (its content is 1), since Q's rows start as unit rows and every
            // step divides a changed row by its content. So d would be 1 and det_q unchanged.
            // (Only while no matrix operation has failed: after a failure Q may lack rows.)
            if (b == zero && matrix_status == 1) continue;
            const big_int g = gcd(v, b);
            const big_int e = exact_quotient(-b, g);
            const big_int c = exact_quotient(v, g);
            combine_rows(B, k, c, i, e);
            combine_rows(Q, k, c, i, e);
            if (full_rank_possible) det_q = det_q * c;
            // Row k of Q is never all zero, so d >= 1.
            const big_int d = row_content(B, Q, k);
            divide_row_exactly(B, k, d);
            divide_row_exactly(Q, k, d);
            if (full_rank_possible) det_q = exact_quotient(det_q, d);
            if (notes && b != zero) ops.combine(k, c, e, i, d);
        }
        if (movie) {
            out << "Elimination in column " << j << end_narration_line << std::flush;
            ops.write(out);
            narrate_tables(out, B, Q);
        }
        basis.append_item(j);
        ++i;
    }
    // Below full row rank every m-by-m minor of A vanishes.
    if (i < m) {
        det = zero;
        return;
    }
    checked_buffer<big_int> pivots(i);
    for (int k = 0; k < i; ++k) pivots[k] = B(k, basis[k]);
    det = exact_quotient(product(pivots.data(), pivots.size()), det_q);
    if (det_sign < 0) det = -det;
}

} // namespace velmora
