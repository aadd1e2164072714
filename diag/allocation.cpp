#include "diag/allocation.hpp"
#include "diag/testing.hpp"

#include <cstdlib>

namespace velmora {

namespace detail {
long allocation_failure_countdown = 0;
} // namespace detail

void* allocate_bytes(std::size_t n) {
    if (injected_allocation_failure()) return nullptr;
    return std::malloc(n == 0 ? 1 : n);
}

void* reallocate_bytes(void* p, std::size_t n) {
    if (injected_allocation_failure()) return nullptr;
    return std::realloc(p, n == 0 ? 1 : n);
}

void fail_allocation_after(long k) { detail::allocation_failure_countdown = k < 0 ? 0 : k; }

bool allocation_failure_pending() { return detail::allocation_failure_countdown != 0; }

long allocations_before_failure() { return detail::allocation_failure_countdown; }

} // namespace velmora
