// Reference eliminations modulo a word-size prime, written plainly, against which the
// factorisations of the engine are checked.
#pragma once

#include "modular/residue.hpp"

namespace velmora {

// Reduces [W | I] modulo p, W being m-by-n residues in row-major order, to reduced row
// echelon form, taking as pivot in each column the first row without pivot whose entry
// is nonzero. Rows stay in place: pivot_rows[t] is the row of the t-th pivot and
// pivot_cols[t] its column (increasing). Returns the rank r; the elimination stops as
// soon as every row has a pivot. When r == m, det is set to the determinant modulo p of
// the m-by-m submatrix of W on the pivot columns (rows in their order).
// The right-hand part is kept only when q is not null (m-by-m): q(k, t) holds the
// entry of row k in the column of the identity that belongs to row pivot_rows[t];
// columns of rows that never got a pivot are not kept (they hold the unit alone).
int modular_echelon(residue* W, residue* q, int m, int n, std::uint64_t p, int* pivot_rows,
                    int* pivot_cols, residue& det);

// Gaussian elimination of W modulo p (m-by-n residues, row-major, overwritten), taking as
// pivot in each column the first row without pivot whose entry is nonzero; rows stay in
// place and only rows without pivot are updated. pivot_rows[t] and pivot_cols[t] receive
// the t-th pivot (columns increasing). Returns the rank r modulo p; pivot_product gets the
// product of the r pivots as found. When r == m, the determinant modulo p of the m-by-m
// submatrix of W on the pivot columns (rows in their order) is that product times the
// sign of the permutation t -> pivot_rows[t].
int modular_row_echelon(residue* W, int m, int n, std::uint64_t p, int* pivot_rows, int* pivot_cols,
                        residue& pivot_product);

} // namespace velmora
