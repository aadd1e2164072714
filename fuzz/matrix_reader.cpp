// The plain matrix reader for both element types (first byte chooses) on arbitrary
// bytes; a matrix read cleanly prints and reads back unchanged.
#include "bigint/big_int.hpp"
#include "containers/matrix.hpp"
#include "containers/text.hpp"
#include "diag/report.hpp"
#include "fuzz_support.hpp"
#include "rational/rational.hpp"

#include <sstream>

namespace {

template <class T>
void read_and_reread(const std::string& text) {
    std::istringstream in(text);
    velmora::matrix<T> a;
    in >> a;
    if (in.fail() || velmora::matrix_status != 1) return;
    std::ostringstream out;
    out << a;
    std::istringstream again(out.str());
    velmora::matrix<T> b;
    again >> b;
    velmora::fuzz::require(velmora::matrix_status == 1, "written matrix reads back cleanly");
    velmora::fuzz::require(a == b, "matrix text round trip");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (velmora::fuzz::too_many_entries(text, 4096)) return 0;
    velmora::fuzz::run_guarded([&] {
        if (data[0] & 1) read_and_reread<velmora::big_int>(text);
        else read_and_reread<velmora::rational<velmora::big_int>>(text);
    });
    return 0;
}
