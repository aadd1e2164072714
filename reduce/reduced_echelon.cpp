#include "reduce/reduced_echelon.hpp"

#include "containers/narration.hpp"
#include "reduce/pivot.hpp"

namespace velmora {

namespace {

using number = rational<big_int>;

bool normal_entries(const matrix<number>& M) {
    for (int r = 0; r < M.rows(); ++r)
        for (int c = 0; c < M.cols(); ++c)
            if (M(r, c).denominator <= big_int(0)) return false;
    return true;
}

// Row operations that leave alone the entries where the other operand is 0: for x in normal
// form (positive denominator) x + 0 f and 0 / p are x and 0 themselves, the values the
// matrix operations would store. So they hold for matrices whose entries are all in normal
// form, as every value the arithmetic makes is; the others, bad rows and a matrix after a
// failed operation take the matrix operations, for their reports.
bool plain_row(const matrix<number>& M, int k, bool normal) {
    return normal && matrix_status == 1 && k >= 0 && k < M.rows();
}

// Row k of M plus f times row i: add_rows(k, i, f).
void add_multiple(matrix<number>& M, int k, int i, const number& f, bool normal) {
    if (!plain_row(M, k, normal) || !plain_row(M, i, normal) || k == i) {
        M.add_rows(k, i, f);
        return;
    }
    const big_int zero(0);
    if (f.numerator == zero) return;
    for (int c = 0; c < M.cols(); ++c) {
        const number& source = M(i, c);
        if (source.numerator == zero) continue;
        M(k, c) = M(k, c) + source * f;
    }
}

// Row i of M divided by p: div_row(i, p).
void divide_row(matrix<number>& M, int i, const number& p, bool normal) {
    if (!plain_row(M, i, normal) || p.numerator == big_int(0)) {
        M.div_row(i, p);
        return;
    }
    const big_int zero(0);
    for (int c = 0; c < M.cols(); ++c)
        if (M(i, c).numerator != zero) M(i, c) = M(i, c) / p;
}

} // namespace

void reduced_echelon(const matrix<rational<big_int>>& A, matrix<rational<big_int>>& B,
                     matrix<rational<big_int>>& Q, vector<int>& basis, rational<big_int>& det,
                     int movie, std::ostream& out) {
    det = number(1);
    Q = scalar_matrix(number(1), A.rows());
    B = A;
    basis.resize(0);
    if (movie) {
        out << "Reduced row echelon form" << end_narration_line;
        narrate_tables(out, B, Q);
    }
    // B's own dimensions bound the loop: they equal A's unless B could not be sized.
    const int m = B.rows(), n = B.cols();
    const bool normal = normal_entries(B);
    // In LaTeX the operations of each step are written under its narration line.
    const bool notes = movie && narrates_row_operations(out);
    row_operations ops;
    int i = 0;
    for (int j = 0; i < m && j < n; ++j) {
        if (movie)
            out << "Find the biggest (in absolute value) entry in the column " << j << end_narration_line
                << std::flush;
        const int p = pivot_row(B, i, j);
        if (p < 0) {
            if (movie) out << "Column " << j << " is negligible" << end_narration_line;
            det = number(0);
            continue;
        }
        if (movie) out << "Pivot item: (" << p << ", " << j << ")" << end_narration_line;
        if (movie && p == i) narrate_pivot(out, B, Q, table_mark{i, j});
        if (p != i) exchange_rows(B, Q, i, p, j, det, movie, out);
        const number pivot = B(i, j);
        if (notes && !(pivot == number(1))) ops.divide(i, pivot);
        divide_row(B, i, pivot, normal);
        divide_row(Q, i, pivot, normal);
        det = det * pivot;
        for (int k = 0; k < m; ++k) {
            if (k == i) continue;
            const number minus_f = -B(k, j);
            if (notes && minus_f.numerator != big_int(0)) ops.subtract(k, B(k, j), i);
            add_multiple(B, k, i, minus_f, normal);
            add_multiple(Q, k, i, minus_f, normal);
        }
        if (movie) {
            out << "Elimination in column " << j << end_narration_line << std::flush;
            ops.write(out);
            narrate_tables(out, B, Q);
        }
        basis.append_item(j);
        ++i;
    }
}

} // namespace velmora
