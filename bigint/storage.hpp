// big_int: a signed integer of unbounded size. The object is a handle to an immutable,
// reference-counted record; copies share the record and never copy digits.
#pragma once

#include "bigint/mag.hpp"

#include <array>
#include <cstddef>
#include <cstdint>

namespace velmora {

// The record shared by copies of one value. Zero is sign 0, digits null, len 0; a nonzero
// value has sign -1 or +1, len >= 1 and digits[len - 1] != 0. A record and its digits are
// one heap block, the digits right after the record; the digit room may exceed len words.
// The values of magnitude up to small_value_limit have static records that every such
// value made by a constructor or an arithmetic result shares, never freed and never counted
// (their refs is static_record_refs), so that no thread ever writes them. A matrix of small
// entries then costs a pointer an entry. Only refs ever changes after a heap record is
// built; copies of one value are used by one thread at a time.
constexpr std::int32_t static_record_refs = -1;
constexpr int small_value_limit = 1024;

struct big_int_rep {
    std::int32_t sign;
    std::uint32_t len;
    std::int32_t refs;  // number of big_int objects pointing at this record
    std::uint32_t room; // number of digit words in the block
    mag_word* digits;   // least significant word first
};

// The shared record of the value v, -small_value_limit <= v <= small_value_limit, is
// small_records[small_value_limit + v].
extern std::array<big_int_rep, 2 * small_value_limit + 1> small_records;

class big_int {
public:
    // Zero (the shared record of 0).
    big_int() : rep_(&small_records[small_value_limit]) {}
    // The value v; the most negative int gives the word 2^31. Implicit, so that int
    // constants mix with big_int operands. Small values take the shared records, inline:
    // the arithmetic of fractions makes 0 and 1 at every step.
    big_int(int v) {
        if (v >= -small_value_limit && v <= small_value_limit) rep_ = &small_records[small_value_limit + v];
        else make_word(v);
    }
    // The value read from the text s by the input operator (null reads as empty text).
    explicit big_int(const char* s);
    // Shares other's record.
    big_int(const big_int& other) : rep_(other.rep_) { retain(); }
    // Releases this object's record and shares other's, unless both already share one.
    big_int& operator=(const big_int& other) {
        other.retain();
        release();
        rep_ = other.rep_;
        return *this;
    }
    ~big_int() { release(); }

    // Read-only view of the record, for the arithmetic and text code and for tests.
    const big_int_rep& rep() const { return *rep_; }

private:
    friend big_int adopt_rep(big_int_rep* r);

    explicit big_int(big_int_rep* r) : rep_(r) {}
    // Counts one more reference to this object's record (none for the static records).
    void retain() const {
        if (rep_->refs != static_record_refs) ++rep_->refs;
    }
    // Drops this object's reference; the last one frees the record.
    void release() {
        if (rep_->refs != static_record_refs && --rep_->refs == 0) free_record();
    }
    void free_record();
    // A record of its own for v, which is not a small value.
    void make_word(int v);

    big_int_rep* rep_;
};

// True when x has a shared record of a small value, which is then v: a test by the record's
// address alone, for loops that read many entries.
inline bool small_value_of(const big_int& x, int& v) {
    const std::ptrdiff_t i = &x.rep() - small_records.data();
    if (i < 0 || i > 2 * small_value_limit) return false;
    v = int(i) - small_value_limit;
    return true;
}

// Frees the blocks of released records that the calling thread keeps for reuse, so that
// its next values are allocated afresh (for tests that count or fail allocations).
void release_pooled_records();

// Number of heap records made minus those freed by the calling thread (the shared records
// of small values are not counted); lets tests check that reference counting is balanced.
long live_big_int_reps();

} // namespace velmora
