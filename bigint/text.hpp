// Text form of big_int on the standard streams: decimal, hexadecimal and octal.
#pragma once

#include "bigint/mag.hpp"
#include "bigint/storage.hpp"

#include <ios>
#include <istream>
#include <ostream>

namespace velmora {

// 10 when the decimal flag of s is set, else 16 for the hexadecimal flag, else 8 for the
// octal flag, else 10.
int stream_base(const std::ios_base& s);

// Clears the base flags of s and sets the one for b: 16 hexadecimal, 8 octal, else decimal.
void set_stream_base(std::ios_base& s, int b);

// Writes x in the radix of os as one formatted text ("-" and digits, hexadecimal letters in
// the case of the uppercase flag), padded to the field width; showpos and showbase have no
// effect. The fill character and the flags are left unchanged. Returns os.
std::ostream& operator<<(std::ostream& os, const big_int& x);

// Reads [whitespace][+|-][0x|0o]digits from is, one character at a time; the first character
// that cannot continue the number stays in the stream. No digit: x becomes 0, with the
// warning "empty string; treating as zero." unless a "0" was read. End of input (or a failed
// stream) before any digit or "0": x becomes 0 and failbit is set, without the warning.
// End of input after digits: x takes the number and only eofbit is set. Returns is.
std::istream& operator>>(std::istream& is, big_int& x);

} // namespace velmora
