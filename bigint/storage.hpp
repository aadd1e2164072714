// big_int: a signed integer of unbounded size. The object is a handle to an immutable,
// reference-counted record; copies share the record and never copy digits.
#pragma once

#include "bigint/mag.hpp"

#include <cstdint>

namespace velmora {

// The record shared by copies of one value. Zero is sign 0, digits null, len 0; a nonzero
// value has sign -1 or +1, len >= 1 and digits[len - 1] != 0. The digit array may hold more
// than len words. Only refs ever changes after the record is built.
struct big_int_rep {
    std::int32_t sign;
    mag_word* digits; // owned by the record, least significant word first
    std::uint32_t len;
    std::int32_t refs; // number of big_int objects pointing at this record
};

class big_int {
public:
    // Zero, in a record of its own.
    big_int();
    // The value v; the most negative int gives the word 2^31. Implicit, so that int
    // constants mix with big_int operands.
    big_int(int v);
    // The value read from the text s by the input operator (null reads as empty text).
    explicit big_int(const char* s);
    // Shares other's record.
    big_int(const big_int& other);
    // Releases this object's record and shares other's, unless both already share one.
    big_int& operator=(const big_int& other);
    ~big_int();

    // Read-only view of the record, for the arithmetic and text code and for tests.
    const big_int_rep& rep() const { return *rep_; }

private:
    friend big_int make_big_int(std::int32_t sign, mag_word* digits, std::uint32_t len);

    big_int(std::int32_t sign, mag_word* digits, std::uint32_t len);
    // Points this object at a new record with refs 1, taking ownership of digits. Does not
    // release the previous record: callers release first.
    void set_rep(std::int32_t sign, mag_word* digits, std::uint32_t len);
    // Drops this object's reference; the last one frees the digits and the record and
    // leaves the pointer null.
    void release();

    big_int_rep* rep_;
};

// Number of records alive now; lets tests check that reference counting is balanced.
long live_big_int_reps();

} // namespace velmora
