// The exact solution for an integer matrix of full row rank by multimodular Gauss-Jordan
// elimination: its pivot columns, the minor on them and the scaled reduced form and
// transform, with the pivot columns proven.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"

#include <cstddef>

namespace velmora {

// The exact solution for an integer matrix a (m-by-n, row-major) of full row rank:
// its pivot columns P, D = det a_P (rows in order, columns increasing), and the
// integers D B and D Q, where B is the reduced row echelon form of a and B = Q a.
struct full_rank_solution {
    full_rank_solution(int m, int n, bool with_b, bool with_q)
        : m(m), n(n), width(with_b ? n - m : 0), with_q(with_q), pivots(m),
          values(std::size_t(m) * width + (with_q ? std::size_t(m) * m : 0) + 1) {}

    // D B(t, c) for the k-th column c that is not a pivot column (when with_b).
    const big_int& scaled_b(int t, int k) const { return values[std::size_t(t) * width + k]; }
    // D Q(t, i) (when with_q).
    const big_int& scaled_q(int t, int i) const { return values[std::size_t(m) * width + std::size_t(t) * m + i]; }
    // D, the determinant of a on the pivot columns.
    const big_int& minor() const { return values[values.size() - 1]; }

    int m, n;
    int width;  // number of non-pivot columns kept: n - m, or 0 without B
    bool with_q;
    checked_buffer<int> pivots;
    checked_buffer<big_int> values;
};

// The per-prime kernel of solve_full_row_rank: chosen by the size of the matrix, or one of
// the two forced (for tests that compare them).
enum class solution_kernel { by_size, word, blocked };

// Solves for a of full row rank and returns true; returns false when the rank modulo the
// kernel's first prime is below m and the rank is not already known to be m (rank_known).
//
// Lucky primes. Over the rationals the t-th pivot column is the first column j such that
// columns 0 .. j have rank t + 1; modulo p every such rank can only drop, so the t-th
// pivot column modulo p is never before the true one. Hence of two primes whose pivot
// lists differ, the one with the later column at the first difference is certainly
// wrong, and is dropped (as is a prime below full rank). A prime gives the true pivot
// columns P exactly when it does not divide d = det a_P, which is nonzero and below 2^h
// (h from minor_bound_bits). The primes kept all agree; their product exceeds 2^(h+1) >
// |d|, so they cannot all divide d: one of them, and with it every one, gives P. The same
// product bounds the symmetric remainders: every value sought is a minor of a, below 2^h.
//
// Images are made a batch at a time, one prime per thread, and taken in the order of the
// primes: every decision is the one made one prime at a time, whatever the threads.
//
// Kernels. Small matrices, and entries long enough for residue trees, are reduced modulo
// primes of the engine's sequence by the left-looking LU (modular_lu); large ones modulo
// primes below 2^22 by the blocked elimination in doubles (blocked_lu, then
// blocked_reduced_form on the pivot columns found), float_primes_for_bits(h + 1) of them,
// each counted for the 21 bits it surely gives, so that the product of the primes kept
// exceeds 2^(h+1) as above. Both give the same values, to the bit: the argument above
// holds for any distinct primes whose product exceeds 2^(h+1), so with either kernel the
// primes kept all give the true pivot columns P, and for such a prime p every residue kept
// is the true value modulo p (D B, D Q and D are integers, the same whatever p, and an
// image on P is their reduction: modulo p, R and Q are determined by a and P alone). The
// symmetric remainder of a value below 2^h in absolute value, modulo a product above
// 2^(h+1), is that value: P and every value come out the same whichever kernel ran.
bool solve_full_row_rank(const big_int* a, full_rank_solution& s, bool rank_known,
                         solution_kernel kernel = solution_kernel::by_size);

} // namespace velmora
