// big_int: a signed integer of unbounded size. The object is a handle to an immutable,
// reference-counted record; copies share the record and never copy digits.
#pragma once

#include "bigint/mag.hpp"

#include <cstdint>

namespace velmora {

// The record shared by copies of one value. Zero is sign 0, digits null, len 0; a nonzero
// value has sign -1 or +1, len >= 1 and digits[len - 1] != 0. A record and its digits are
// one heap block, the digits right after the record; the digit room may exceed len words.
// The values 0 and 1 have static records that are shared by every such value and never
// freed. Only refs ever changes after the record is built.
struct big_int_rep {
    std::int32_t sign;
    std::uint32_t len;
    std::int32_t refs;  // number of big_int objects pointing at this record
    std::uint32_t room; // number of digit words in the block
    mag_word* digits;   // least significant word first
};

class big_int {
public:
    // Zero (the shared record of 0).
    big_int();
    // The value v; the most negative int gives the word 2^31. Implicit, so that int
    // constants mix with big_int operands. 0 and 1 take the shared records.
    big_int(int v);
    // The value read from the text s by the input operator (null reads as empty text).
    explicit big_int(const char* s);
    // Shares other's record.
    big_int(const big_int& other) : rep_(other.rep_) { ++rep_->refs; }
    // Releases this object's record and shares other's, unless both already share one.
    big_int& operator=(const big_int& other) {
        ++other.rep_->refs;
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
    // Drops this object's reference; the last one frees the record.
    void release() {
        if (--rep_->refs == 0) free_record();
    }
    void free_record();

    big_int_rep* rep_;
};

// Frees the blocks of released records that are kept for reuse, so that the next values
// are allocated afresh (for tests that count or fail allocations).
void release_pooled_records();

// Number of heap records alive now (the shared records of 0 and 1 are not counted); lets
// tests check that reference counting is balanced.
long live_big_int_reps();

} // namespace velmora
