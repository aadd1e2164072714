#include "bigint/text.hpp"

namespace velmora {

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
