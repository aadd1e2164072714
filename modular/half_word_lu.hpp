// LU factorisation and solutions modulo a prime below 2^28, residues in 32-bit words: a
// product of two residues is below 2^56, so 256 of them add up in one 64-bit word, and
// every dot product is a loop of 32-by-32-bit products into 64 bits, which the compiler
// makes vector operations. Several times faster per product than word-size primes; the
// kernel of the p-adic lifting of matrices with small entries.
#pragma once

#include "bigint/big_int.hpp"
#include "diag/checked_buffer.hpp"

#include <cstddef>
#include <cstdint>

namespace velmora {

// Every prime of the kernel lies in (2^27, 2^28).
constexpr int half_word_prime_bits = 27;

// The k-th prime below 2^28, counting down, 0 <= k < 8.
std::uint32_t half_word_prime(int k);

// x modulo p, in [0, p), for any nonzero p below 2^32.
std::uint32_t residue_mod(const big_int& x, std::uint32_t p);

// The lifting takes entries below 2^lift_entry_bits in absolute value: shifted by 2^20 they
// lie in [0, 2^21), so that a product by a digit (below 2^28) is below 2^49.
constexpr int lift_entry_bits = 20;
// ... and orders below lift_order_limit, so that a row of such products sums below 2^63, in
// a signed word.
constexpr int lift_order_limit = 1 << 14;

// Whether half_word_lu::lift takes the n-by-n matrix whose row i starts at a + i * stride:
// entries below 2^20 in absolute value, n below 2^14.
bool lifts(const big_int* a, int n, std::size_t stride);

class half_word_lu {
public:
    explicit half_word_lu(int n);

    // Factors the n-by-n integer matrix whose row i starts at a + i * stride modulo p (from
    // half_word_prime), with row exchanges: P A = L U. False when A is singular modulo p.
    bool factor(const big_int* a, std::size_t stride, std::uint32_t p);

    // det A modulo p, for the matrix last factored.
    std::uint32_t determinant() const;

    // x := A^-1 y modulo p, for residues y (x may be y).
    void solve(const std::uint32_t* y, std::uint32_t* x);

    // Dixon's lifting of A x = b modulo p^steps, for A the matrix last factored, given again
    // (see lifts), and integers b below 2^20 in absolute value: digit s of x_j, below p,
    // goes to digits[s * n + j], with x = sum of the digits times p^s.
    void lift(const big_int* a, std::size_t stride, const std::int64_t* b, int steps, std::uint64_t* digits);

private:
    // s modulo p, for any 64-bit s (Barrett's method with m = floor(2^64 / p)).
    std::uint32_t reduce(std::uint64_t s) const;
    // The sum of x[u] y[u] over u < len, modulo p.
    std::uint32_t dot(const std::uint32_t* x, const std::uint32_t* y, int len) const;

    int n_;
    std::uint32_t p_ = 0;
    std::uint64_t barrett_ = 0;
    int exchanges_ = 0;
    checked_buffer<std::uint32_t> work_;      // A modulo p, rows exchanged as the pivots are taken
    checked_buffer<std::uint32_t> l_;         // row i: L(i, 0 .. i-1)
    checked_buffer<std::uint32_t> u_rows_;    // row i: U(i, i+1 .. n-1), at their columns
    checked_buffer<std::uint32_t> u_columns_; // column j: U(0 .. j-1, j)
    checked_buffer<std::uint32_t> diagonal_;  // U(j, j)
    checked_buffer<std::uint32_t> inverse_;   // U(j, j)^-1
    checked_buffer<std::uint32_t> column_;    // the Schur complement's column at the current step
    checked_buffer<std::uint32_t> permuted_;
    checked_buffer<int> order_;               // row i of P A is row order_[i] of A
};

} // namespace velmora
