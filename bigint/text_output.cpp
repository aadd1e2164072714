#include "bigint/text.hpp"

#include "bigint/build.hpp"
#include "bigint/radix_text.hpp"

namespace velmora {

std::ostream& operator<<(std::ostream& os, const big_int& x) {
    const big_int_rep& rx = x.rep();
    if (rx.sign == 0) return os << "0";
    const int radix = stream_base(os);

    // mag_to_digits destroys its input; the record of x never changes.
    mag_word* scratch = copy_of_words(rx.digits, rx.len);
    char* text = new_chars(2 + mag_digit_room(rx.len));
    char* digits = text + (rx.sign < 0 ? 1 : 0);
    const std::uint32_t n = mag_to_digits(scratch, reinterpret_cast<unsigned char*>(digits), rx.len, radix);
    delete[] scratch;

    const char* digit_chars = (os.flags() & std::ios_base::uppercase) ? "0123456789ABCDEF" : "0123456789abcdef";
    if (rx.sign < 0) text[0] = '-';
    for (std::uint32_t i = 0; i < n; ++i) digits[i] = digit_chars[static_cast<unsigned char>(digits[i])];
    digits[n] = '\0';

    // One formatted output, so that the field width pads the whole text.
    os << text;
    delete[] text;
    return os;
}

} // namespace velmora
