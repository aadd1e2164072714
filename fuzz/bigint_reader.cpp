// The big integer reader on arbitrary bytes; every value read must print and read back
// unchanged in all three radixes and obey a few arithmetic identities.
#include "bigint/big_int.hpp"
#include "fuzz_support.hpp"

#include <sstream>

namespace {

using velmora::big_int;

big_int reread(const big_int& x, int base) {
    std::ostringstream out;
    velmora::set_stream_base(out, base);
    out << x;
    std::string text = out.str();
    // Hexadecimal and octal text need their prefix, after the sign.
    const std::size_t digits = text[0] == '-' ? 1 : 0;
    if (base == 16) text.insert(digits, "0x");
    if (base == 8) text.insert(digits, "0o");
    std::istringstream in(text);
    big_int y;
    in >> y;
    return y;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    velmora::fuzz::run_guarded([&] {
        std::istringstream in(text);
        big_int previous(7);
        for (int k = 0; k < 64 && in; ++k) {
            big_int x;
            in >> x;
            for (int base : {10, 16, 8})
                velmora::fuzz::require(reread(x, base) == x, "big_int text round trip");
            velmora::fuzz::require(x + (-x) == big_int(0), "x + (-x) == 0");
            if (previous != big_int(0)) {
                const big_int q = x / previous, r = x % previous;
                velmora::fuzz::require(q * previous + r == x, "x == q * d + r");
            }
            previous = x;
        }
    });
    return 0;
}
