#include "bigint/build.hpp"
#include "bigint/radix_groups.hpp"
#include "bigint/text.hpp"

#include <algorithm>

namespace velmora {

namespace {

// Writes the k radix digits of group g, zero-padded on the left, at out; returns the end.
// The radix is a constant of each instance, so that its divisions are products.
template <mag_word radix>
char* write_group_in(char* out, mag_word g, int k, const char* digit_chars) {
    for (int i = k; i-- > 0;) {
        out[i] = digit_chars[g % radix];
        g /= radix;
    }
    return out + k;
}

char* write_group(char* out, mag_word g, mag_word radix, int k, const char* digit_chars) {
    switch (radix) {
    case 10: return write_group_in<10>(out, g, k, digit_chars);
    case 16: return write_group_in<16>(out, g, k, digit_chars);
    default: return write_group_in<8>(out, g, k, digit_chars);
    }
}

// Writes the digits of g without leading zeros at out (nothing for 0); returns the end.
char* write_top_group(char* out, mag_word g, mag_word radix, const char* digit_chars) {
    char reversed[mag_word_bits];
    int n = 0;
    for (; g != 0; g /= radix) reversed[n++] = digit_chars[g % radix];
    return std::reverse_copy(reversed, reversed + n, out);
}

} // namespace

std::ostream& operator<<(std::ostream& os, const big_int& x) {
    const big_int_rep& rx = x.rep();
    if (rx.sign == 0) return os << "0";
    const int radix = stream_base(os);
    mag_word P;
    int k;
    group_size(radix, P, k);

    // mag_to_groups destroys its input; the record of x never changes.
    mag_word* scratch = copy_of_words(rx.digits, rx.len);
    mag_word* groups = new_words(2 * std::size_t(rx.len));
    const std::uint32_t n = mag_to_groups(scratch, groups, rx.len, P);
    delete[] scratch;

    const char* digit_chars = (os.flags() & std::ios_base::uppercase) ? "0123456789ABCDEF" : "0123456789abcdef";
    char* text = new_chars(2 + std::size_t(n) * k);
    char* end = text;
    if (rx.sign < 0) *end++ = '-';
    end = write_top_group(end, groups[n - 1], mag_word(radix), digit_chars);
    for (std::uint32_t i = n - 1; i-- > 0;) end = write_group(end, groups[i], mag_word(radix), k, digit_chars);
    *end = '\0';
    delete[] groups;

    // One formatted output, so that the field width pads the whole text.
    os << text;
    delete[] text;
    return os;
}

} // namespace velmora
