#include "bigint/text.hpp"

#include "bigint/build.hpp"
#include "bigint/radix_text.hpp"
#include "diag/checked_text.hpp"
#include "diag/report.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

// The characters of one number, read from the stream's buffer within one sentry (which
// flushes a tied output stream once, not once per character). The end of input sets
// eofbit, as peek would, and is remembered, because any further read would set failbit.
class char_source {
public:
    explicit char_source(std::istream& is) : is_(is), sentry_(is, true) {
        if (!sentry_) ended_ = true;
    }

    // The next character, not yet taken; -1 at the end of input or on a failed stream.
    int next() {
        if (ended_) return -1;
        const std::istream::int_type c = is_.rdbuf()->sgetc();
        if (std::istream::traits_type::eq_int_type(c, std::istream::traits_type::eof())) {
            is_.setstate(std::ios_base::eofbit);
            ended_ = true;
            return -1;
        }
        return static_cast<unsigned char>(std::istream::traits_type::to_char_type(c));
    }

    void take() { is_.rdbuf()->sbumpc(); }

    bool ended() const { return ended_; }

private:
    std::istream& is_;
    std::istream::sentry sentry_;
    bool ended_ = false;
};

// The digit characters of a number: in the object for short numbers, then in a checked
// buffer that doubles when full.
class digit_text {
public:
    digit_text() = default;
    digit_text(const digit_text&) = delete;
    digit_text& operator=(const digit_text&) = delete;
    ~digit_text() {
        if (chars_ != inline_chars_) delete[] chars_;
    }

    void append(char c) {
        if (size_ == capacity_) grow();
        chars_[size_++] = c;
    }

    std::size_t size() const { return size_; }
    const char* chars() const { return chars_; }

private:
    void grow() {
        const std::size_t capacity = 2 * capacity_;
        char* chars = new_chars(capacity);
        std::copy_n(chars_, size_, chars);
        if (chars_ != inline_chars_) delete[] chars_;
        chars_ = chars;
        capacity_ = capacity;
    }

    static constexpr std::size_t inline_room = 64;
    char inline_chars_[inline_room];
    char* chars_ = inline_chars_;
    std::size_t size_ = 0;
    std::size_t capacity_ = inline_room;
};

bool is_space(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The value of c as a digit of radix (10, 16 or 8), or -1.
int digit_value(int c, int radix) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    return v < radix ? v : -1;
}

// The magnitude of the digits in text, of which the first is not '0', as a value of the
// given sign. Digits are taken k at a time, the most significant group holding the rest.
big_int value_of_digits(const digit_text& text, int radix, std::int32_t sign) {
    mag_word P;
    int k;
    group_size(radix, P, k);
    const std::size_t L = text.size();
    const std::size_t g = (L - 1) / k + 1;
    if (g == 1) {
        // One group: the value is that word.
        mag_word value = 0;
        for (const char* c = text.chars(); c != text.chars() + L; ++c)
            value = value * mag_word(radix) + mag_word(digit_value(*c, radix));
        big_int_rep* r = new_rep(1);
        r->digits[0] = value;
        return make_big_int(r, sign, 1);
    }
    mag_word* groups = new_words(g);
    const char* c = text.chars();
    std::size_t take = L % k == 0 ? k : L % k;
    for (std::size_t i = g; i-- > 0; take = k) {
        mag_word value = 0;
        for (const char* end = c + take; c != end; ++c) value = value * mag_word(radix) + mag_word(digit_value(*c, radix));
        groups[i] = value;
    }
    // A group holds fewer bits than a word, so the magnitude needs at most g words.
    big_int_rep* r = new_rep(g);
    const std::uint32_t len = groups_to_mag(groups, r->digits, std::uint32_t(g), P);
    delete[] groups;
    assert(len >= 1);
    return make_big_int(r, sign, len);
}

big_int value_of_text(const char* s) {
    text_reader in(s);
    big_int value;
    in >> value;
    return value;
}

} // namespace

big_int::big_int(const char* s) : big_int(value_of_text(s)) {}

std::istream& operator>>(std::istream& is, big_int& x) {
    char_source in(is);
    std::int32_t sign = 1;
    int radix = 10;
    bool zero_seen = false;

    while (is_space(in.next())) in.take();
    if (in.next() == '-') {
        sign = -1;
        in.take();
    } else if (in.next() == '+') {
        in.take();
    }
    if (in.next() == '0') {
        in.take();
        zero_seen = true;
        if (in.next() == 'o') {
            in.take();
            radix = 8;
        } else if (in.next() == 'x') {
            in.take();
            radix = 16;
        }
    }
    while (in.next() == '0') in.take();
    digit_text text;
    for (int c = in.next(); digit_value(c, radix) >= 0; c = in.next()) {
        text.append(char(c));
        in.take();
    }

    if (text.size() == 0) {
        x = big_int(0);
        if (!zero_seen) {
            if (in.ended()) is.setstate(std::ios_base::failbit);
            else big_arith_warning("empty string; treating as zero.");
        }
        return is;
    }
    x = value_of_digits(text, radix, sign);
    return is;
}

} // namespace velmora
