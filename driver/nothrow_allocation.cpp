// The programs' non-throwing allocation functions, which every checked allocation of the
// library goes through. The standard library's own versions call the throwing operator
// new and catch its exception; when memory is so short that not even the exception object
// can be made, that ends the process with std::terminate instead of returning null. These
// take the block from malloc directly, as the default operator new does, so that the
// default operator delete releases it and running out is always the library's report.
#include <cstdlib>
#include <new>

void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n == 0 ? 1 : n); }

void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return std::malloc(n == 0 ? 1 : n); }
