#include "modular/half_word_lu.hpp"

#include "bigint/mag.hpp"
#include "modular/float_gemm.hpp"
#include "modular/modular_lu.hpp"
#include "modular/residue.hpp"
#include "modular/prime_source.hpp"

#include <algorithm>
#include <array>
#include <cassert>

namespace velmora {

namespace {

// Products of residues below 2^28 are below 2^56: 256 of them stay below 2^64.
constexpr int products_per_sum = 256;

inline std::uint32_t sub_residue(std::uint32_t a, std::uint32_t b, std::uint32_t p) {
    return a >= b ? a - b : a + (p - b);
}

} // namespace

std::uint32_t half_word_prime(int k) {
    static const std::array<std::uint32_t, 8> primes = [] {
        std::array<std::uint32_t, 8> found{};
        std::uint32_t candidate = (1u << 28) - 1;
        for (auto& prime : found) {
            while (!is_prime_u64(candidate)) candidate -= 2;
            prime = candidate;
            candidate -= 2;
        }
        return found;
    }();
    assert(k >= 0 && k < 8);
    return primes[std::size_t(k)];
}

std::uint32_t residue_mod(const big_int& x, std::uint32_t p) {
    const big_int_rep& r = x.rep();
    std::uint64_t acc = 0;  // Horner's rule from the top word, half a word at a time
    for (std::uint32_t k = r.len; k-- > 0;) {
        acc = ((acc << 32) | (std::uint64_t(r.digits[k]) >> 32)) % p;
        acc = ((acc << 32) | (std::uint64_t(r.digits[k]) & 0xffffffffu)) % p;
    }
    return r.sign < 0 && acc != 0 ? std::uint32_t(p - acc) : std::uint32_t(acc);
}

bool lifts(const big_int* a, int n, std::size_t stride) {
    if (n >= lift_order_limit) return false;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const big_int_rep& r = a[std::size_t(i) * stride + j].rep();
            if (r.len > 1 || (r.len == 1 && r.digits[0] >= (1u << lift_entry_bits))) return false;
        }
    return true;
}

half_word_lu::half_word_lu(int n)
    : n_(n), work_(std::size_t(n) * n), l_(std::size_t(n) * n), u_rows_(std::size_t(n) * n),
      u_columns_(std::size_t(n) * n), diagonal_(n), inverse_(n), column_(n), permuted_(n), order_(n) {}

// With m = floor(2^64 / p), the estimate q = floor(s m / 2^64) falls short of floor(s / p)
// by at most 2, so s - q p lies in [0, 3p).
inline std::uint32_t half_word_lu::reduce(std::uint64_t s) const {
    const std::uint64_t q = std::uint64_t((static_cast<unsigned __int128>(s) * barrett_) >> 64);
    std::uint64_t r = s - q * p_;
    if (r >= p_) r -= p_;
    if (r >= p_) r -= p_;
    return std::uint32_t(r);
}

namespace {

// The sum of x[v] y[v] over v < len, in 64 bits: the caller keeps it below 2^64 (for
// residues below 2^28, len <= products_per_sum).
VELMORA_VECTOR_CLONES std::uint64_t sum_of_products(const std::uint32_t* __restrict x,
                                                    const std::uint32_t* __restrict y, int len) {
    std::uint64_t sum = 0;
    for (int v = 0; v < len; ++v) sum += std::uint64_t(x[v]) * y[v];
    return sum;
}

} // namespace

std::uint32_t half_word_lu::dot(const std::uint32_t* x, const std::uint32_t* y, int len) const {
    if (len <= products_per_sum) return reduce(sum_of_products(x, y, len));
    std::uint64_t total = 0;
    for (int u = 0; u < len; u += products_per_sum) {
        // below 2^28 per block: no overflow for any len below 2^36
        total += reduce(sum_of_products(x + u, y + u, std::min(len - u, products_per_sum)));
    }
    return reduce(total);
}

bool half_word_lu::factor(const big_int* a, std::size_t stride, std::uint32_t p) {
    detail::count_factorisation();
    const int n = n_;
    p_ = p;
    barrett_ = ~std::uint64_t(0) / p;
    exchanges_ = 0;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const big_int& x = a[std::size_t(i) * stride + j];
            const big_int_rep& r = x.rep();
            std::uint32_t v = r.len == 0 ? 0 : r.len == 1 ? reduce(r.digits[0]) : residue_mod(x, p);
            if (r.sign < 0 && r.len == 1 && v != 0) v = p - v;
            work_[std::size_t(i) * n + j] = v;
        }
        order_[i] = i;
    }
    // Left-looking (Crout's order): at step k the Schur complement's column k for the rows
    // without pivot, each entry one dot product of the row's multipliers with column k of
    // U; the first nonzero one is the pivot; then row k of U, each entry a dot product of
    // the pivot row's multipliers with a column of U; then column k of L.
    for (int k = 0; k < n; ++k) {
        const std::uint32_t* u_k = u_columns_.data() + std::size_t(k) * n;
        int found = -1;
        for (int i = k; i < n; ++i) {
            column_[i] = sub_residue(work_[std::size_t(i) * n + k], dot(l_.data() + std::size_t(i) * n, u_k, k), p);
            if (found < 0 && column_[i] != 0) found = i;
        }
        if (found < 0) return false;
        if (found != k) {
            std::swap_ranges(work_.data() + std::size_t(k) * n, work_.data() + std::size_t(k + 1) * n,
                             work_.data() + std::size_t(found) * n);
            std::swap_ranges(l_.data() + std::size_t(k) * n, l_.data() + std::size_t(k) * n + k,
                             l_.data() + std::size_t(found) * n);
            std::swap(column_[k], column_[found]);
            std::swap(order_[k], order_[found]);
            ++exchanges_;
        }
        const std::uint32_t d = column_[k];
        diagonal_[k] = d;
        inverse_[k] = std::uint32_t(inverse_mod(d, p));
        const std::uint32_t* l_k = l_.data() + std::size_t(k) * n;
        for (int j = k + 1; j < n; ++j) {
            std::uint32_t* u_j = u_columns_.data() + std::size_t(j) * n;
            const std::uint32_t v = sub_residue(work_[std::size_t(k) * n + j], dot(l_k, u_j, k), p);
            u_j[k] = v;
            u_rows_[std::size_t(k) * n + j] = v;
        }
        for (int i = k + 1; i < n; ++i) l_[std::size_t(i) * n + k] = reduce(std::uint64_t(column_[i]) * inverse_[k]);
    }
    return true;
}

std::uint32_t half_word_lu::determinant() const {
    std::uint64_t det = exchanges_ % 2 ? p_ - 1 : 1;
    for (int j = 0; j < n_; ++j) det = reduce(det * diagonal_[j]);
    return std::uint32_t(det);
}

void half_word_lu::solve(const std::uint32_t* y, std::uint32_t* x) {
    const int n = n_;
    std::uint32_t* v = permuted_.data();
    for (int i = 0; i < n; ++i) v[i] = y[order_[i]];
    for (int i = 0; i < n; ++i) v[i] = sub_residue(v[i], dot(l_.data() + std::size_t(i) * n, v, i), p_);
    for (int i = n - 1; i >= 0; --i) {
        const std::uint32_t* u_i = u_rows_.data() + std::size_t(i) * n;
        const std::uint32_t s = sub_residue(v[i], dot(u_i + i + 1, v + i + 1, n - i - 1), p_);
        v[i] = reduce(std::uint64_t(s) * inverse_[i]);
    }
    std::copy(v, v + n, x);
}

// The residual r starts as b and becomes (r - A x_s) / p after digit s, exactly, so that
// A (x_0 + ... + x_s p^s) = b - r p^(s+1). With |A x_s| < n 2^20 p it stays below
// n 2^21 + 2^20 in absolute value. A x_s is found as S - 2^20 X, with S the products of
// the entries plus 2^20 (in [1, 2^21)) by the digits and X the sum of the digits: S is
// below n 2^49 < 2^63. The division by p is exact, and its quotient fits in 64 bits, so
// it is the low word of the dividend times p^-1 modulo 2^64.
void half_word_lu::lift(const big_int* a, std::size_t stride, const std::int64_t* b, int steps, std::uint64_t* digits) {
    const int n = n_;
    constexpr std::int64_t shift = std::int64_t(1) << lift_entry_bits;
    checked_buffer<std::uint32_t> shifted(std::size_t(n) * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            const big_int_rep& r = a[std::size_t(i) * stride + j].rep();
            const std::int64_t v = r.len == 0 ? 0 : r.sign * std::int64_t(r.digits[0]);
            shifted[std::size_t(i) * n + j] = std::uint32_t(v + shift);
        }
    const std::uint64_t p_inverse = inverse_mod_word(p_);
    // A multiple of p above every |r|, so that r + offset >= 0 reduces as a word.
    const std::uint64_t offset = (std::uint64_t(n) * (std::uint64_t(1) << 22) / p_ + 1) * p_;
    checked_buffer<std::int64_t> residual(n);
    checked_buffer<std::uint32_t> rhs(n), x(n);
    std::copy(b, b + n, residual.data());
    for (int s = 0; s < steps; ++s) {
        for (int i = 0; i < n; ++i) rhs[i] = reduce(std::uint64_t(residual[i]) + offset);
        solve(rhs.data(), x.data());
        std::uint64_t digit_sum = 0;
        for (int j = 0; j < n; ++j) {
            digits[std::size_t(s) * n + j] = x[j];
            digit_sum += x[j];
        }
        for (int i = 0; i < n; ++i) {
            const std::uint64_t products = sum_of_products(shifted.data() + std::size_t(i) * n, x.data(), n);
            const std::int64_t ax = std::int64_t(products) - shift * std::int64_t(digit_sum);
            residual[i] = std::int64_t(std::uint64_t(residual[i] - ax) * p_inverse);
        }
    }
}

} // namespace velmora
