// The kernel on GMP's mpn functions. GMP's limbs are our words (checked when configuring
// and again below), so its functions work on our arrays in place; GMP allocates through
// the checked allocation.
#include "bigint/kernel.hpp"

#include "bigint/radix_groups.hpp"
#include "diag/allocation.hpp"
#include "diag/checked_buffer.hpp"
#include "diag/deferred_fatal.hpp"
#include "diag/report.hpp"

#include <gmp.h>

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

static_assert(GMP_LIMB_BITS == 64 && GMP_NAIL_BITS == 0 && sizeof(mp_limb_t) == sizeof(velmora::mag_word),
              "GMP's limb must be a whole 64-bit word: configure with -DVELMORA_KERNEL=own");

namespace velmora {

namespace {

// GMP's frames may not be unwound through: a failure on a worker thread ends the process
// where it stands (see big_arith_fatal_error_in_place).
void* gmp_allocate(std::size_t n) {
    void* p = allocate_bytes(n);
    if (p == nullptr) big_arith_fatal_error_in_place(heap_overflow_message);
    return p;
}

void* gmp_reallocate(void* p, std::size_t, std::size_t n) {
    void* q = reallocate_bytes(p, n);
    if (q == nullptr) big_arith_fatal_error_in_place(heap_overflow_message);
    return q;
}

void gmp_free(void* p, std::size_t) { std::free(p); }

// Set before main. Blocks that GMP got from its default functions before that (malloc too)
// are freed alike by gmp_free.
[[maybe_unused]] const bool memory_functions_set = (mp_set_memory_functions(gmp_allocate, gmp_reallocate, gmp_free), true);

mp_limb_t* limbs(mag_word* p) { return reinterpret_cast<mp_limb_t*>(p); }
const mp_limb_t* limbs(const mag_word* p) { return reinterpret_cast<const mp_limb_t*>(p); }

// Scratch words: on the stack up to a few hundred, else from the checked allocation.
class scratch_words {
public:
    explicit scratch_words(std::size_t n) : data_(stack_) {
        if (n > stack_words) {
            heap_ = allocate_raw<mag_word>(n);
            if (heap_ == nullptr) heap_overflow();
            data_ = heap_;
        }
    }
    scratch_words(const scratch_words&) = delete;
    scratch_words& operator=(const scratch_words&) = delete;
    ~scratch_words() { delete[] heap_; }
    mag_word* data() { return data_; }

private:
    static constexpr std::size_t stack_words = 256;
    mag_word stack_[stack_words];
    mag_word* heap_ = nullptr;
    mag_word* data_;
};

// A value of GMP's whose limbs are the room words at q, for GMP to write a result into
// directly: GMP writes a result in place whenever the value's allocation (_mp_alloc) holds
// it, and reallocates (or frees) only a value whose allocation is too small. So room must
// hold the result, and the value must not be cleared.
class result_in_place {
public:
    result_in_place(mag_word* q, std::uint32_t room) : q_(q) {
        value_->_mp_alloc = int(room);
        value_->_mp_size = 0;
        value_->_mp_d = limbs(q);
    }
    mpz_ptr get() { return value_; }
    // The words of the result, checked to be where they were asked for.
    std::size_t words() const {
        assert(value_->_mp_d == limbs(q_));
        return std::size_t(value_->_mp_size < 0 ? -value_->_mp_size : value_->_mp_size);
    }

private:
    mag_word* q_;
    mpz_t value_;
};

// A read-only value of GMP's over the n words at a, whose top word is not zero. (GMP's sizes
// are ints: no value of the programs comes near 2^31 words, 16 GiB.)
#define VELMORA_GMP_VIEW(a, n) MPZ_ROINIT_N(const_cast<mp_limb_t*>(limbs(a)), int(n))

// out = the n-word x shifted right past its trailing zero bits, copied; returns its length
// and sets shift to the bits dropped. Pre: x is not zero.
std::uint32_t odd_part(mag_word* out, const mag_word* x, std::uint32_t n, std::uint64_t& shift) {
    std::uint32_t words = 0;
    while (x[words] == 0) ++words;
    const int bits = __builtin_ctzll(x[words]);
    shift = 64 * std::uint64_t(words) + bits;
    const std::uint32_t len = n - words;
    if (bits == 0) std::copy_n(x + words, len, out);
    else mpn_rshift(limbs(out), limbs(x + words), len, bits);
    return mag_length(out, len);
}

} // namespace

const char* kernel_name() { return "gmp"; }

mag_word kernel_add(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    assert(na >= nb && nb >= 1);
    return mpn_add(limbs(out), limbs(a), na, limbs(b), nb);
}

mag_word kernel_sub(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    assert(na >= nb && nb >= 1);
    return mpn_sub(limbs(out), limbs(a), na, limbs(b), nb);
}

mag_word kernel_mul(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    assert(na >= nb && nb >= 1);
    return mpn_mul(limbs(out), limbs(a), na, limbs(b), nb);
}

mag_word kernel_div_word(mag_word* q, const mag_word* a, std::uint32_t n, mag_word d) {
    assert(n >= 1 && d != 0);
    return mpn_divrem_1(limbs(q), 0, limbs(a), n, d);
}

std::uint32_t kernel_divrem(mag_word* q, mag_word* r, const mag_word* a, std::uint32_t na, const mag_word* b,
                            std::uint32_t nb) {
    assert(na >= nb && nb >= 2 && a[na - 1] != 0 && b[nb - 1] != 0);
    if (r == nullptr) {
        // The quotient alone: GMP computes it without the remainder, which is faster.
        const std::uint32_t room = na - nb + 1;
        result_in_place quotient(q, room);
        const mpz_t dividend = VELMORA_GMP_VIEW(a, na), divisor = VELMORA_GMP_VIEW(b, nb);
        mpz_tdiv_q(quotient.get(), dividend, divisor);
        std::fill(q + quotient.words(), q + room, mag_word(0));
        return 0;
    }
    scratch_words spare((q == nullptr ? na - nb + 1 : 0) + (r == nullptr ? nb : 0));
    mag_word* quotient = q != nullptr ? q : spare.data();
    mag_word* rest = r != nullptr ? r : spare.data() + (q == nullptr ? na - nb + 1 : 0);
    mpn_tdiv_qr(limbs(quotient), limbs(rest), 0, limbs(a), na, limbs(b), nb);
    return mag_length(rest, nb);
}

void kernel_divexact(mag_word* q, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    assert(na >= nb && nb >= 1 && a[na - 1] != 0 && b[nb - 1] != 0);
    if (nb == 1) {
        mpn_divexact_1(limbs(q), limbs(a), na, b[0]);
        return;
    }
    // GMP offers exact division of several words on mpz values only.
    const std::uint32_t room = na - nb + 1;
    result_in_place quotient(q, room);
    const mpz_t dividend = VELMORA_GMP_VIEW(a, na), divisor = VELMORA_GMP_VIEW(b, nb);
    mpz_divexact(quotient.get(), dividend, divisor);
    std::fill(q + quotient.words(), q + room, mag_word(0));
}

std::uint32_t kernel_gcd(mag_word* out, const mag_word* a, std::uint32_t na, const mag_word* b, std::uint32_t nb) {
    assert(na >= nb && nb >= 1 && a[na - 1] != 0 && b[nb - 1] != 0);
    if (nb == 1) {
        // GMP's gcd with one word takes any operands, without copies.
        out[0] = mpn_gcd_1(limbs(a), na, b[0]);
        return 1;
    }
    // mpn_gcd wants an odd operand: gcd(2^i x, 2^j y) = 2^min(i, j) gcd(x, y) for odd x, y.
    scratch_words spare(std::size_t(na) + nb);
    mag_word* x = spare.data();
    mag_word* y = x + na;
    std::uint64_t shift_x, shift_y;
    std::uint32_t nx = odd_part(x, a, na, shift_x);
    std::uint32_t ny = odd_part(y, b, nb, shift_y);
    if (nx < ny || (nx == ny && mpn_cmp(limbs(x), limbs(y), nx) < 0)) {
        std::swap(x, y);
        std::swap(nx, ny);
    }
    std::uint32_t len;
    if (ny == 1) {
        out[0] = mpn_gcd_1(limbs(x), nx, y[0]);
        len = 1;
    } else {
        len = std::uint32_t(mpn_gcd(limbs(out), limbs(x), nx, limbs(y), ny));
    }
    // The common power of two back in; the gcd divides b, so it fits b's nb words.
    const std::uint64_t twos = std::min(shift_x, shift_y);
    const std::uint32_t words = std::uint32_t(twos / 64);
    const int bits = int(twos % 64);
    if (words != 0) {
        std::memmove(out + words, out, len * sizeof(mag_word));
        std::fill(out, out + words, mag_word(0));
        len += words;
    }
    if (bits != 0) {
        const mag_word carry = mpn_lshift(limbs(out), limbs(out), len, bits);
        if (carry != 0) out[len++] = carry;
    }
    assert(len <= nb);
    return len;
}

std::uint32_t kernel_to_digits(mag_word* a, unsigned char* out, std::uint32_t n, int radix) {
    assert(n >= 1 && a[n - 1] != 0);
    // GMP writes the digits straight from the words (subquadratically on long ones), maybe
    // after leading zeros; mag_digit_room(n) holds every digit of n words and one more.
    const std::size_t written = mpn_get_str(out, radix, limbs(a), n);
    std::size_t zeros = 0;
    while (zeros + 1 < written && out[zeros] == 0) ++zeros;
    if (zeros != 0) std::memmove(out, out + zeros, written - zeros);
    return std::uint32_t(written - zeros);
}

// Below this many groups the magnitude comes straight from products by P with GMP's
// word-scalar functions; from it on GMP's subquadratic conversion from the groups' digits is
// faster.
constexpr std::uint32_t groups_by_words_limit = 40;

std::uint32_t kernel_from_groups(const mag_word* g, mag_word* out, std::uint32_t n, mag_word P) {
    n = mag_length(g, n);
    if (n == 0) return 0;
    if (n < groups_by_words_limit) {
        // out = out * P + group, from the most significant group; below P^n <= 2^(64n).
        out[0] = g[n - 1];
        std::uint32_t length = 1;
        for (std::uint32_t i = n - 1; i-- > 0;) {
            mag_word carry = mpn_mul_1(limbs(out), limbs(out), length, P);
            if (carry != 0) out[length++] = carry;
            carry = mpn_add_1(limbs(out), limbs(out), length, g[i]);
            if (carry != 0) out[length++] = carry;
        }
        return length;
    }
    int radix, k;
    radix_of_power(P, radix, k);
    // The digits of every group, the most significant first, each group as k digits.
    const std::size_t digit_count = std::size_t(n) * k;
    checked_buffer<unsigned char> digits(digit_count);
    unsigned char* c = digits.data() + digit_count;
    for (std::uint32_t i = 0; i < n; ++i) {
        mag_word v = g[i];
        for (int j = 0; j < k; ++j, v /= mag_word(radix)) *--c = static_cast<unsigned char>(v % mag_word(radix));
    }
    // mpn_set_str wants room for the largest value of that many digits and a limb more.
    scratch_words value(std::size_t(n) + 2);
    const std::size_t len = mpn_set_str(limbs(value.data()), digits.data(), digit_count, radix);
    const std::uint32_t fitted = mag_length(value.data(), std::uint32_t(len));
    assert(fitted <= n);
    std::copy_n(value.data(), fitted, out);
    return fitted;
}

} // namespace velmora
