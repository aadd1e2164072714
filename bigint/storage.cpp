#include "bigint/build.hpp"
#include "diag/allocation.hpp"
#include "diag/report.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

long live_reps = 0;

template <class T>
T* checked(T* p) {
    if (p == nullptr) big_arith_fatal_error("the heap overflow");
    return p;
}

} // namespace

mag_word* new_words(std::size_t n) { return checked(allocate_raw<mag_word>(n)); }

char* new_chars(std::size_t n) { return checked(allocate_raw<char>(n)); }

mag_word* copy_of_words(const mag_word* from, std::size_t n, std::size_t extra) {
    mag_word* w = new_words(n + extra);
    std::copy_n(from, n, w);
    return w;
}

big_int make_big_int(std::int32_t sign, mag_word* digits, std::uint32_t len) {
    return big_int(sign, digits, len);
}

long live_big_int_reps() { return live_reps; }

big_int::big_int() { set_rep(0, nullptr, 0); }

big_int::big_int(int v) {
    if (v == 0) {
        set_rep(0, nullptr, 0);
        return;
    }
    mag_word* w = new_words(1);
    // Negation in unsigned arithmetic: the most negative int has no positive counterpart.
    w[0] = v < 0 ? mag_word(0u - std::uint32_t(v)) : mag_word(v);
    set_rep(v < 0 ? -1 : 1, w, 1);
}

big_int::big_int(std::int32_t sign, mag_word* digits, std::uint32_t len) {
    assert((sign == 0) == (len == 0) && (len == 0 || digits[len - 1] != 0));
    set_rep(sign, digits, len);
}

big_int::big_int(const big_int& other) : rep_(other.rep_) { ++rep_->refs; }

big_int& big_int::operator=(const big_int& other) {
    if (rep_ == other.rep_) return *this;
    release();
    rep_ = other.rep_;
    ++rep_->refs;
    return *this;
}

big_int::~big_int() { release(); }

void big_int::set_rep(std::int32_t sign, mag_word* digits, std::uint32_t len) {
    rep_ = checked(allocate_object<big_int_rep>(big_int_rep{sign, digits, len, 1}));
    ++live_reps;
}

void big_int::release() {
    if (rep_ == nullptr || --rep_->refs != 0) return;
    delete[] rep_->digits;
    delete rep_;
    rep_ = nullptr;
    --live_reps;
}

} // namespace velmora
