// Steps shared by both reductions: the pivot search and the narrated row exchange.
#pragma once

#include "containers/matrix.hpp"
#include "containers/narration.hpp"
#include "rational/gcd.hpp"

#include <ostream>

namespace velmora {

// The row at or below i whose entry in column j has the largest absolute value,
// the topmost among equals; -1 when all those entries are zero.
template <class T>
int pivot_row(const matrix<T>& B, int i, int j) {
    T max(0);
    int p = i;
    for (int k = i; k < B.rows(); ++k) {
        const T a = abs(B(k, j));
        if (a > max) {  // strict: the topmost of equal candidates wins
            max = a;
            p = k;
        }
    }
    return max == T(0) ? -1 : p;
}

// Exchanges rows i and p of B and Q, negates det, and narrates when movie is set; in
// LaTeX with the exchange in row notation and the pivot, now at (i, j), boxed.
template <class T, class Det>
void exchange_rows(matrix<T>& B, matrix<T>& Q, int i, int p, int j, Det& det, int movie, std::ostream& out) {
    B.swap_rows(i, p);
    Q.swap_rows(i, p);
    det = -det;
    if (movie) {
        out << "Swap rows: " << i << ", " << p << end_narration_line << std::flush;
        if (narrates_row_operations(out)) {
            row_operations ops;
            ops.exchange(i, p);
            ops.write(out);
        }
        narrate_tables(out, B, Q, table_mark{i, j});
    }
}

} // namespace velmora
