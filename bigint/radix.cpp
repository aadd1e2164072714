#include "bigint/text.hpp"

#include <cassert>

namespace velmora {

void group_size(int b, mag_word& P, int& k) {
    assert(b >= 2);
    // The three radixes of the text forms, without the divisions below.
    switch (b) {
    case 10: P = 10000000000000000000ULL, k = 19; return;
    case 16: P = mag_word(1) << 60, k = 15; return;
    case 8: P = mag_word(1) << 63, k = 21; return;
    default: break;
    }
    const mag_word radix = mag_word(b);
    P = 1;
    k = 0;
    for (mag_word t = ~mag_word(0) / radix; t != 0; t /= radix) {
        P *= radix;
        ++k;
    }
}

int stream_base(const std::ios_base& s) {
    const std::ios_base::fmtflags f = s.flags();
    if (f & std::ios_base::dec) return 10;
    if (f & std::ios_base::hex) return 16;
    if (f & std::ios_base::oct) return 8;
    return 10;
}

void set_stream_base(std::ios_base& s, int b) {
    const std::ios_base::fmtflags flag = b == 16 ? std::ios_base::hex
                                         : b == 8 ? std::ios_base::oct
                                                  : std::ios_base::dec;
    s.setf(flag, std::ios_base::basefield);
}

} // namespace velmora
