#include "diag/allocation.hpp"
#include "diag/testing.hpp"

namespace velmora {

namespace detail {
long allocation_failure_countdown = 0;
} // namespace detail

void fail_allocation_after(long k) { detail::allocation_failure_countdown = k < 0 ? 0 : k; }

bool allocation_failure_pending() { return detail::allocation_failure_countdown != 0; }

long allocations_before_failure() { return detail::allocation_failure_countdown; }

} // namespace velmora
