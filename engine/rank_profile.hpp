// The rank profile of an integer matrix, proven by word-size primes: its rank, its pivot
// columns (those of its reduced row echelon form) and a set of rows that are independent
// and span its row space.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"
#include "modular/residue.hpp"

namespace velmora {

struct rank_profile {
    explicit rank_profile(int m, int n);

    int rank = 0;
    // The pivot columns, increasing (rank of them). Proven only when `columns_proven`;
    // otherwise the columns of some prime of the right rank.
    checked_buffer<int> cols;
    // rank rows of the matrix on whose pivot columns it is nonsingular (so independent, and
    // spanning the row space), in the order in which one prime took them as pivots.
    checked_buffer<int> rows;
    bool columns_proven = false;
    // With `det_of_full_rows` asked and rank == rows of the matrix: the determinant of the
    // matrix on its pivot columns (rows in order).
    big_int det;
};

// What a caller needs proven: the rank alone, or the pivot columns too (and so the rows);
// det_of_full_rows asks for `det` as well when the rank turns out to be the row count.
struct rank_profile_request {
    bool columns = true;
    bool det_of_full_rows = false;
};

// Finds the profile of the m-by-n integer matrix a (row-major), m, n >= 1.
//
// Modulo a prime p the rank of every leading set of columns can only drop, so the t-th
// pivot column modulo p is never before the true one, and there are never more pivots:
// of two lists of pivot columns, the one with the smaller column at the first difference
// (or, when one is a prefix of the other, the longer) is never the one of an unlucky
// prime. The best list L seen (r0 columns) is taken once enough primes agree on it that
// their product exceeds 2^h, h = max(bits of minors of order r0 and r0 + 1):
// - were the rank above r0, every such prime would divide every minor of order r0 + 1,
//   some of which is nonzero and below 2^h;
// - were the rank r0 with true pivot columns P != L, every such prime would make a[:, P]
//   singular (a prime keeps P exactly when it does not), so divide each of its minors of
//   order r0, some of which is nonzero and below 2^h.
// Neither can hold, so L is the list. When only the rank is asked for, agreement on the
// rank suffices (the first argument alone), and a rank equal to min(m, n) needs no
// further prime; nor does a rank of n, whose pivot columns are all the columns. The rows
// taken as pivots by a prime that gave L are nonsingular on L modulo that prime, hence over
// the integers. Large matrices of small entries are factored modulo primes below 2^22
// (blocked_lu), each counted for the 21 bits it surely gives to the product.
//
// An unlucky prime only costs time. A prime is unlucky when it divides one of the nonzero
// integers that decide the profile (the r pivots' minors, below 2^h each): for n = 4000
// entries in [-9, 9] (h about 4000 * 14 bits) at most h / 21 of the primes below 2^22 can
// divide such a minor, and for random matrices the chance that the first prime is one of
// them is near r / p, about 1 in 2,000.
void find_rank_profile(const big_int* a, int m, int n, rank_profile_request request, rank_profile& out);

// The profile that one prime shows (the first of the engine's sequence, or for large
// matrices of small entries the first below 2^22), unproven: the rank and pivot columns may
// be short of the true ones; the rows are independent all the same.
void first_prime_profile(const big_int* a, int m, int n, rank_profile& out);

// The rank of the m-by-n matrix a (row-major) modulo the prime of first_prime_profile: a
// lower bound on its rank, and the rank itself when it is min(m, n).
int first_prime_rank(const big_int* a, int m, int n);

} // namespace velmora
