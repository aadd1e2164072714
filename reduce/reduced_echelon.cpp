#include "reduce/reduced_echelon.hpp"

#include "containers/narration.hpp"
#include "reduce/pivot.hpp"

namespace velmora {

void reduced_echelon(const matrix<rational<big_int>>& A, matrix<rational<big_int>>& B,
                     matrix<rational<big_int>>& Q, vector<int>& basis, rational<big_int>& det,
                     int movie, std::ostream& out) {
    using number = rational<big_int>;
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
        if (p != i) exchange_rows(B, Q, i, p, det, movie, out);
        const number pivot = B(i, j);
        B.div_row(i, pivot);
        Q.div_row(i, pivot);
        det = det * pivot;
        for (int k = 0; k < m; ++k) {
            if (k == i) continue;
            const number minus_f = -B(k, j);
            B.add_rows(k, i, minus_f);
            Q.add_rows(k, i, minus_f);
        }
        if (movie) {
            out << "Elimination in column " << j << end_narration_line << std::flush;
            narrate_tables(out, B, Q);
        }
        basis.append_item(j);
        ++i;
    }
}

} // namespace velmora
