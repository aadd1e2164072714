// Checked allocation: every allocation of the library goes through here, so that
// a failure is always detected (a null result) and tests can provoke one.
#pragma once

#include <cstddef>
#include <new>

namespace velmora {

namespace detail {
// 0: allocations succeed as the system allows. k > 0: the k-th checked
// allocation from now fails, once. Set only by tests through testing.hpp.
extern long allocation_failure_countdown;
} // namespace detail

// True when this checked allocation is the one a test asked to fail.
inline bool injected_allocation_failure() {
    return detail::allocation_failure_countdown != 0 && --detail::allocation_failure_countdown == 0;
}

// n value-initialised objects (zeros for arithmetic types), or null on failure.
template <class T>
T* allocate_array(std::size_t n) {
    if (injected_allocation_failure()) return nullptr;
    return new (std::nothrow) T[n]();
}

// n uninitialised objects of a trivial type (such as machine words), or null on failure.
template <class T>
T* allocate_raw(std::size_t n) {
    if (injected_allocation_failure()) return nullptr;
    return new (std::nothrow) T[n];
}

// One object built from args, or null on failure.
template <class T, class... Args>
T* allocate_object(Args&&... args) {
    if (injected_allocation_failure()) return nullptr;
    return new (std::nothrow) T(static_cast<Args&&>(args)...);
}

// n bytes from the C heap (std::malloc), or null on failure; freed with std::free. For
// libraries that take allocation functions of that shape (GMP).
void* allocate_bytes(std::size_t n);

// The block p (from allocate_bytes, or null) resized to n bytes as by std::realloc, or
// null on failure (p is then still valid).
void* reallocate_bytes(void* p, std::size_t n);

} // namespace velmora
