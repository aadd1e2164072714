#include "bigint/build.hpp"
#include "diag/allocation.hpp"
#include "diag/report.hpp"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <new>

namespace velmora {

namespace {

long live_reps = 0;

template <class T>
T* checked(T* p) {
    if (p == nullptr) big_arith_fatal_error("the heap overflow");
    return p;
}

// The shared records of 0 and 1 start with so many references that balanced copies and
// releases never bring them to zero: they are never freed.
constexpr std::int64_t static_refs = std::int64_t(1) << 62;
mag_word one_word = 1;
big_int_rep zero_rep{0, 0, static_refs, nullptr};
big_int_rep one_rep{1, 1, static_refs, &one_word};

// The record header rounded to whole words; the digits follow it.
constexpr std::size_t header_words = (sizeof(big_int_rep) + sizeof(mag_word) - 1) / sizeof(mag_word);

} // namespace

big_int adopt_rep(big_int_rep* r) { return big_int(r); }

mag_word* new_words(std::size_t n) { return checked(allocate_raw<mag_word>(n)); }

char* new_chars(std::size_t n) { return checked(allocate_raw<char>(n)); }

mag_word* copy_of_words(const mag_word* from, std::size_t n, std::size_t extra) {
    mag_word* w = new_words(n + extra);
    std::copy_n(from, n, w);
    return w;
}

big_int_rep* new_rep(std::size_t n) {
    assert(n >= 1);
    mag_word* block = new_words(header_words + n);
    big_int_rep* r = new (block) big_int_rep{0, 0, 1, block + header_words};
    ++live_reps;
    return r;
}

void free_rep(big_int_rep* r) {
    --live_reps;
    r->~big_int_rep();
    delete[] reinterpret_cast<mag_word*>(r);
}

big_int make_big_int(big_int_rep* r, std::int32_t sign, std::uint32_t len) {
    len = mag_length(r->digits, len);
    if (len == 0 || (len == 1 && r->digits[0] == 1 && sign > 0)) {
        free_rep(r);
        return big_int(len == 0 ? 0 : 1);
    }
    assert(sign == 1 || sign == -1);
    r->sign = sign;
    r->len = len;
    return adopt_rep(r);
}

big_int copied_value(std::int32_t sign, const mag_word* from, std::uint32_t n) {
    n = mag_length(from, n);
    if (n == 0) return big_int();
    big_int_rep* r = new_rep(n);
    std::copy_n(from, n, r->digits);
    return make_big_int(r, sign, n);
}

long live_big_int_reps() { return live_reps; }

big_int::big_int() : rep_(&zero_rep) { ++rep_->refs; }

big_int::big_int(int v) {
    if (v == 0 || v == 1) {
        rep_ = v == 0 ? &zero_rep : &one_rep;
        ++rep_->refs;
        return;
    }
    big_int_rep* r = new_rep(1);
    // Negation in unsigned arithmetic: the most negative int has no positive counterpart.
    r->digits[0] = v < 0 ? mag_word(0u - std::uint32_t(v)) : mag_word(v);
    r->sign = v < 0 ? -1 : 1;
    r->len = 1;
    rep_ = r;
}

void big_int::free_record() {
    assert(rep_ != &zero_rep && rep_ != &one_rep);
    free_rep(rep_);
}

} // namespace velmora
