#include "bigint/build.hpp"
#include "diag/allocation.hpp"
#include "diag/report.hpp"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <new>

namespace velmora {

namespace {

thread_local long live_reps = 0;

template <class T>
T* checked(T* p) {
    if (p == nullptr) heap_overflow();
    return p;
}

// The digit words of the shared records: small_words[k] = k.
constexpr std::array<mag_word, small_value_limit + 1> counting_words() {
    std::array<mag_word, small_value_limit + 1> w{};
    for (int k = 0; k <= small_value_limit; ++k) w[k] = mag_word(k);
    return w;
}
constinit std::array<mag_word, small_value_limit + 1> small_words = counting_words();

// The record header rounded to whole words; the digits follow it.
constexpr std::size_t header_words = (sizeof(big_int_rep) + sizeof(mag_word) - 1) / sizeof(mag_word);

// Freed blocks of records with room for up to pooled_room words are kept on a list per
// room (at most pool_depth(room) each, linked through their digits field) and reused before
// the heap is asked again: one pool per thread, emptied when the thread ends.
constexpr std::uint32_t pooled_room = 72;
// Fewer of the longer ones: full pools keep about 5 MB per thread.
constexpr int pool_depth(std::uint32_t room) { return room <= 40 ? 512 : 64; }

struct record_pool {
    big_int_rep* lists[pooled_room + 1] = {};
    int counts[pooled_room + 1] = {};

    // Frees every block on the lists.
    void release() {
        for (std::uint32_t n = 0; n <= pooled_room; ++n) {
            while (lists[n] != nullptr) {
                big_int_rep* r = lists[n];
                lists[n] = reinterpret_cast<big_int_rep*>(r->digits);
                r->~big_int_rep();
                delete[] reinterpret_cast<mag_word*>(r);
            }
            counts[n] = 0;
        }
    }
    ~record_pool() { release(); }
};
thread_local record_pool pool;

} // namespace

namespace {

// Zero has no digits; v != 0 has the one word |v|.
constexpr std::array<big_int_rep, 2 * small_value_limit + 1> shared_small_records() {
    std::array<big_int_rep, 2 * small_value_limit + 1> r{};
    for (int v = -small_value_limit; v <= small_value_limit; ++v) {
        const int m = v < 0 ? -v : v;
        r[small_value_limit + v] = big_int_rep{v < 0 ? -1 : v > 0 ? 1 : 0, v != 0 ? 1u : 0u, static_record_refs,
                                               v != 0 ? 1u : 0u, v != 0 ? &small_words[m] : nullptr};
    }
    return r;
}

} // namespace

// Never counted, never freed, never written.
constinit std::array<big_int_rep, 2 * small_value_limit + 1> small_records = shared_small_records();

big_int adopt_rep(big_int_rep* r) { return big_int(r); }

mag_word* new_words(std::size_t n) { return checked(allocate_raw<mag_word>(n)); }

char* new_chars(std::size_t n) { return checked(allocate_raw<char>(n)); }

mag_word* copy_of_words(const mag_word* from, std::size_t n, std::size_t extra) {
    mag_word* w = new_words(n + extra);
    std::copy_n(from, n, w);
    return w;
}

big_int_rep* new_rep(std::size_t n) {
    assert(n >= 1 && n <= UINT32_MAX);
    ++live_reps;
    if (n <= pooled_room && pool.lists[n] != nullptr) {
        big_int_rep* r = pool.lists[n];
        pool.lists[n] = reinterpret_cast<big_int_rep*>(r->digits);
        --pool.counts[n];
        *r = big_int_rep{0, 0, 1, std::uint32_t(n), reinterpret_cast<mag_word*>(r) + header_words};
        return r;
    }
    mag_word* block = new_words(header_words + n);
    return new (block) big_int_rep{0, 0, 1, std::uint32_t(n), block + header_words};
}

void free_rep(big_int_rep* r) {
    --live_reps;
    const std::uint32_t n = r->room;
    if (n <= pooled_room && pool.counts[n] < pool_depth(n)) {
        r->digits = reinterpret_cast<mag_word*>(pool.lists[n]);
        pool.lists[n] = r;
        ++pool.counts[n];
        return;
    }
    r->~big_int_rep();
    delete[] reinterpret_cast<mag_word*>(r);
}

big_int make_big_int(big_int_rep* r, std::int32_t sign, std::uint32_t len) {
    len = mag_length(r->digits, len);
    if (len == 0 || (len == 1 && r->digits[0] <= mag_word(small_value_limit))) {
        const int v = len == 0 ? 0 : sign * int(r->digits[0]);
        free_rep(r);
        return big_int(v);
    }
    assert(sign == 1 || sign == -1);
    r->sign = sign;
    r->len = len;
    return adopt_rep(r);
}

big_int fitted_value(big_int_rep* r, std::int32_t sign, std::uint32_t len) {
    len = mag_length(r->digits, len);
    const std::uint32_t room = r->room;
    if (len != 0 && len + 1 < room - room / 4) {
        big_int exact = copied_value(sign, r->digits, len);
        free_rep(r);
        return exact;
    }
    return make_big_int(r, sign, len);
}

big_int own_record(const big_int& x) {
    const big_int_rep& r = x.rep();
    return copied_value(r.sign, r.digits, r.len);
}

big_int copied_value(std::int32_t sign, const mag_word* from, std::uint32_t n) {
    n = mag_length(from, n);
    if (n == 0) return big_int();
    if (n == 1 && from[0] <= mag_word(small_value_limit)) return big_int(sign * int(from[0]));
    big_int_rep* r = new_rep(n);
    std::copy_n(from, n, r->digits);
    return make_big_int(r, sign, n);
}

long live_big_int_reps() { return live_reps; }

void release_pooled_records() { pool.release(); }

void big_int::make_word(int v) {
    assert(v < -small_value_limit || v > small_value_limit);
    big_int_rep* r = new_rep(1);
    // Negation in unsigned arithmetic: the most negative int has no positive counterpart.
    r->digits[0] = v < 0 ? mag_word(0u - std::uint32_t(v)) : mag_word(v);
    r->sign = v < 0 ? -1 : 1;
    r->len = 1;
    rep_ = r;
}

void big_int::free_record() {
    assert(rep_->refs != static_record_refs);
    free_rep(rep_);
}

} // namespace velmora
