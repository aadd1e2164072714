// Products of matrices of residues modulo a prime below 2^22, held in doubles: every
// residue is centered, an integer in [-h, h] with h = (p - 1) / 2 < 2^21, so that a product
// of two is below 2^42 and a sum of float_block_products of them, plus one residue, stays
// below 2^52. Every partial sum of such a block is an integer below 2^53, exact in a double
// whatever the order of summation and whether or not products are fused, so a matrix
// product of any kernel (ours or a BLAS) is exact on a block, and one reduction per block
// ("delayed reduction") brings the entries back to residues.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velmora {

// Products summed before a reduction: 1024 (2^21 - 1)^2 + 2^21 < 2^52.
constexpr int float_block_products = 1024;

// Arithmetic modulo p on centered residues in doubles.
struct float_modulus {
    explicit float_modulus(std::uint32_t p) : p(p), half((p - 1) / 2), inverse(1.0 / p) {}

    // The centered residue of the integer x, |x| < 2^52. The quotient x / p rounded to an
    // integer by adding and taking away 1.5 * 2^52 (exact for |x / p| < 2^51) is off by at
    // most one; q p and x - q p are integers below 2^53, so exact, and one correction
    // brings the remainder into [-h, h].
    double reduce(double x) const {
        constexpr double magic = 6755399441055744.0;  // 1.5 * 2^52
        const double q = (x * inverse + magic) - magic;
        double r = x - q * p;
        r = r > half ? r - p : r;
        return r < -half ? r + p : r;
    }
    double mul(double a, double b) const { return reduce(a * b); }
    // a^-1 for a residue a != 0.
    double inverse_of(double a) const;

    double p, half, inverse;
};

// Which matrix product serves subtract_product: "own" or the name of the BLAS chosen when
// the library was configured.
const char* float_product_kernel();

// C := C - A B modulo p, C m-by-n, A m-by-k, B k-by-n, all row-major with the given row
// strides, every entry a centered residue on entry and C's on return. Spread over the
// threads when large (C's rows split, or its columns when it has few rows), else on the
// calling thread.
void subtract_product(double* c, std::size_t ldc, const double* a, std::size_t lda, const double* b,
                      std::size_t ldb, int m, int n, int k, const float_modulus& f);

// The entries of the m-by-n block at c (row stride ldc), integers below 2^52 in absolute
// value, reduced to centered residues.
void reduce_block(double* c, std::size_t ldc, int m, int n, const float_modulus& f);

} // namespace velmora
