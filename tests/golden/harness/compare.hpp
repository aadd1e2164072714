// Byte-for-byte comparison of an expected output with an actual one.
#pragma once

#include <string>

namespace golden {

// Empty when actual matches expected, where every {{time}} in expected stands
// for one or more decimal digits. Otherwise a readable account of the first
// difference: byte offset, line and column, and both texts from the start of
// that line, with control and non-ASCII bytes escaped.
std::string first_difference(const std::string& expected, const std::string& actual);

// The bytes of s with \n, \t, \r, \\ and every byte outside printable ASCII escaped.
std::string escape_bytes(const std::string& s);

} // namespace golden
