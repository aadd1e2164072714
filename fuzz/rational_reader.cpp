// The rational reader on arbitrary bytes; every value read is in normal form and
// prints and reads back unchanged.
#include "bigint/big_int.hpp"
#include "fuzz_support.hpp"
#include "rational/rational.hpp"

#include <sstream>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using number = velmora::rational<velmora::big_int>;
    const std::string text(reinterpret_cast<const char*>(data), size);
    velmora::fuzz::run_guarded([&] {
        std::istringstream in(text);
        for (int k = 0; k < 64 && in; ++k) {
            number x;
            in >> x;
            velmora::fuzz::require(x.denominator > velmora::big_int(0), "positive denominator");
            velmora::fuzz::require(velmora::gcd(x.numerator, x.denominator) == velmora::big_int(1),
                                   "lowest terms");
            std::ostringstream out;
            out << x;
            std::istringstream again(out.str());
            number y;
            again >> y;
            velmora::fuzz::require(y == x, "rational text round trip");
        }
    });
    return 0;
}
