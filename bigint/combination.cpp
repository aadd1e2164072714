#include "bigint/arithmetic.hpp"
#include "bigint/build.hpp"
#include "bigint/kernel.hpp"

#include <algorithm>
#include <memory>

namespace velmora {

namespace {

// |a| |b| into out (la + lb words); returns its significant length. Pre: a, b not zero.
std::uint32_t magnitude_product(mag_word* out, const big_int_rep& a, const big_int_rep& b) {
    const big_int_rep& longer = a.len >= b.len ? a : b;
    const big_int_rep& shorter = a.len >= b.len ? b : a;
    kernel_mul(out, longer.digits, longer.len, shorter.digits, shorter.len);
    return mag_length(out, a.len + b.len);
}

// Products of fewer words than this are made on the stack.
constexpr std::uint32_t stack_product_words = 64;

} // namespace

big_int combination(const big_int& c, const big_int& x, const big_int& e, const big_int& y) {
    const big_int_rep &rc = c.rep(), &rx = x.rep(), &re = e.rep(), &ry = y.rep();
    const std::int32_t first_sign = rc.sign * rx.sign, second_sign = re.sign * ry.sign;
    if (second_sign == 0) return c * x;
    if (first_sign == 0) return e * y;
    const std::uint32_t first_room = rc.len + rx.len, second_room = re.len + ry.len;
    // The sum has at most one word more than the longer product.
    const std::uint32_t room = std::max(first_room, second_room) + 1;
    big_int_rep* r = new_rep(room);
    mag_word* sum = r->digits;
    std::uint32_t first_len = magnitude_product(sum, rc, rx);

    // A word more for the carry of a sum made there.
    const bool heap = second_room + 1 > stack_product_words;
    mag_word on_stack[stack_product_words];
    const std::unique_ptr<mag_word[]> on_heap(heap ? new_words(second_room + 1) : nullptr);
    mag_word* second = heap ? on_heap.get() : on_stack;
    const std::uint32_t second_len = magnitude_product(second, re, ry);

    // The kernel adds (subtracts) into its first operand only; when the second product is
    // the longer (larger) one, the result is made in its array and copied over.
    std::int32_t sign = first_sign;
    std::uint32_t len;
    if (first_sign == second_sign) {
        if (first_len >= second_len) {
            sum[first_len] = kernel_add(sum, sum, first_len, second, second_len);
            len = first_len + 1;
        } else {
            second[second_len] = kernel_add(second, second, second_len, sum, first_len);
            len = second_len + 1;
            std::copy_n(second, len, sum);
        }
    } else {
        const int order = first_len != second_len ? (first_len > second_len ? 1 : -1)
                                                  : mag_cmp(sum, second, first_len);
        if (order == 0) {
            free_rep(r);
            return big_int();
        }
        if (order > 0) {
            kernel_sub(sum, sum, first_len, second, second_len);
            len = first_len;
        } else {
            kernel_sub(second, second, second_len, sum, first_len);
            len = second_len;
            std::copy_n(second, len, sum);
            sign = second_sign;
        }
    }
    return make_big_int(r, sign, len);
}

} // namespace velmora
