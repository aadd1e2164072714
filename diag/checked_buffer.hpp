// A working array from the library's checked allocation: running out of memory is
// the fatal report "the heap overflow", as for the big integers themselves.
#pragma once

#include "diag/allocation.hpp"
#include "diag/report.hpp"

#include <cstddef>
#include <type_traits>

namespace velmora {

// Asks checked_buffer for objects left uninitialised, for a buffer that is written before
// it is read (its pages are then first touched where it is written).
struct uninitialised_t {};
inline constexpr uninitialised_t uninitialised{};

// n objects of T, value-initialised (zeros for words), owned until destruction.
template <class T>
class checked_buffer {
public:
    explicit checked_buffer(std::size_t n) : data_(allocate_array<T>(n == 0 ? 1 : n)), size_(n) {
        if (data_ == nullptr) heap_overflow();
    }
    // n uninitialised objects of a trivial type.
    checked_buffer(std::size_t n, uninitialised_t) : data_(allocate_raw<T>(n == 0 ? 1 : n)), size_(n) {
        static_assert(std::is_trivial_v<T>);
        if (data_ == nullptr) heap_overflow();
    }
    checked_buffer(const checked_buffer&) = delete;
    checked_buffer& operator=(const checked_buffer&) = delete;
    ~checked_buffer() { delete[] data_; }

    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](std::size_t k) { return data_[k]; }
    const T& operator[](std::size_t k) const { return data_[k]; }
    std::size_t size() const { return size_; }

    // Makes room for n objects, keeping the first min(n, size()) and value-initialising
    // the rest.
    void resize(std::size_t n) {
        T* grown = allocate_array<T>(n == 0 ? 1 : n);
        if (grown == nullptr) heap_overflow();
        for (std::size_t k = 0; k < n && k < size_; ++k) grown[k] = data_[k];
        delete[] data_;
        data_ = grown;
        size_ = n;
    }

    // Makes room for at least n objects of a trivial type, all of them to be written before
    // they are read: storage large enough is kept, else it is replaced without copying or
    // initialising (so that its pages are first touched, and faulted in, by the writers).
    void reserve_uninitialised(std::size_t n) {
        static_assert(std::is_trivial_v<T>);
        if (n <= size_) return;
        T* grown = allocate_raw<T>(n);
        if (grown == nullptr) heap_overflow();
        delete[] data_;
        data_ = grown;
        size_ = n;
    }

private:
    T* data_;
    std::size_t size_;
};

} // namespace velmora
