// The programs' set-up of the standard streams, before anything else runs.
#pragma once

namespace velmora {

// Gives the standard C++ streams buffers of their own instead of C's stdio. A failed
// allocation there (memory so short that not even an exception could be thrown) is the
// fatal report of a failed allocation, status 1, as everywhere else.
void unsync_standard_streams();

} // namespace velmora
