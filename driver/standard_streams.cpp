#include "driver/standard_streams.hpp"

#include "diag/report.hpp"

#include <iostream>
#include <new>

namespace velmora {

void unsync_standard_streams() {
    // Reading the matrix character by character through C's stdio (each peek a getc and
    // an ungetc) costs more than the reduction of a small matrix. Standard error stays
    // tied to standard output.
    // sync_with_stdio allocates the new buffers after it has taken the old ones down, so
    // a failure cannot be caught (there may be no memory for the exception either) nor
    // reported through std::cerr: the handler reports it through C's stdio. It is set for
    // this call only, since elsewhere a failed allocation of the standard library may be
    // tolerated (the thread pool runs with the workers it could start).
    const std::new_handler before = std::set_new_handler(&heap_overflow_through_stdio);
    std::ios::sync_with_stdio(false);
    std::set_new_handler(before);
}

} // namespace velmora
