// vector<T>: a sized, growable sequence with checked access. Failures go to
// matrix_error (the vector goes on) or matrix_fatal_error (the program ends).
#pragma once

#include "containers/limits.hpp"
#include "diag/allocation.hpp"
#include "diag/report.hpp"

#include <cassert>
#include <cstddef>

namespace velmora {

// Items are indexed from 0. Slots from size() to capacity() - 1 hold left-over
// values that nothing reads. Storage grows by exactly step() slots at a time.
template <class T>
class vector {
public:
    // An empty vector growing by `step` (>= 1) slots, then resize(n).
    explicit vector(int n = 0, int step = 2);
    // Same step as v, resized to v's size; the items are copied only while
    // matrix_status is 1, else they stay fresh (zero).
    vector(const vector& v);
    // Takes v's storage; v is left empty.
    vector(vector&& v) noexcept;
    ~vector();
    // Deep copy keeping this vector's step: release, resize to v's size, then copy
    // the items while matrix_status is 1; otherwise reports "can't assign" (-1)
    // and the items stay fresh. Assigning a vector to itself does nothing.
    vector& operator=(const vector& v);

    int size() const { return size_; }
    int capacity() const { return capacity_; }
    int step() const { return step_; }

    // Discards every item and makes n fresh ones. Refuses (-2) n < 0 or
    // n + step() > 10000, and reports running out of memory (-1); a refused
    // resize leaves the vector as it was.
    void resize(int n);

    // Item i; an index outside 0 .. size()-1 is fatal (-6).
    T& operator[](int i);
    const T& operator[](int i) const;
    // Copy of item i, or the zero value after reporting a bad index (-6).
    T at(int i) const;

    // Inserts x before item i (i == size() appends). x may be an item of this
    // vector. Reports a bad position or a full vector of 10000 items (-2), or
    // running out of memory while growing (-1), and then changes nothing.
    void ins_item(int i, const T& x);
    void append_item(const T& x) { ins_item(size_, x); }
    // Removes item i; a bad index is reported (-2) and changes nothing.
    void del_item(int i);
    // Removes item i and returns it; a bad index is fatal (-2).
    T take_item(int i);
    // Exchanges items i and j (i == j allowed); a bad index is fatal (-2).
    void swap_items(int i, int j);
    // Index of the first item equal to x, or -1.
    int find_item(const T& x) const;
    bool has_item(const T& x) const { return find_item(x) != -1; }

    // Item-wise sum or difference in place; different sizes are reported (-3)
    // and leave this vector unchanged.
    vector& operator+=(const vector& v);
    vector& operator-=(const vector& v);

private:
    // Frees the storage; all fields but the step become 0.
    void release();
    bool valid_index(int i) const { return i >= 0 && i < size_; }
    template <class Op>
    vector& combine_in_place(const vector& v, Op op, const char* size_message);

    int size_ = 0;
    int capacity_ = 0;
    int step_;
    T* items_ = nullptr;
};

template <class T>
vector<T>::vector(int n, int step) : step_(step) {
    assert(step >= 1);
    resize(n);
}

template <class T>
vector<T>::vector(const vector& v) : step_(v.step_) {
    resize(v.size_);
    if (matrix_status != 1) return;
    for (int k = 0; k < size_; ++k) items_[k] = v.items_[k];
}

template <class T>
vector<T>::vector(vector&& v) noexcept
    : size_(v.size_), capacity_(v.capacity_), step_(v.step_), items_(v.items_) {
    v.items_ = nullptr;
    v.size_ = v.capacity_ = 0;
}

template <class T>
vector<T>::~vector() {
    delete[] items_;
}

template <class T>
void vector<T>::release() {
    delete[] items_;
    items_ = nullptr;
    size_ = capacity_ = 0;
}

template <class T>
vector<T>& vector<T>::operator=(const vector& v) {
    if (this == &v) return *this;
    release();
    resize(v.size_);
    if (matrix_status != 1) {
        matrix_error(-1, "vector::operator = : can't assign matrix");
        return *this;
    }
    for (int k = 0; k < size_; ++k) items_[k] = v.items_[k];
    return *this;
}

template <class T>
void vector<T>::resize(int n) {
    if (n < 0 || n > container_limit - step_) {
        matrix_error(-2, "vector::can't resize vector:\n incorrect sizes");
        return;
    }
    T* fresh = allocate_array<T>(static_cast<std::size_t>(n + step_));
    if (!fresh) {
        matrix_error(-1, "vector::can't resize vector: out of memory");
        return;
    }
    delete[] items_;
    items_ = fresh;
    size_ = n;
    capacity_ = n + step_;
}

template <class T>
T& vector<T>::operator[](int i) {
    if (!valid_index(i)) matrix_fatal_error(-6, "vector::operator[]: incorrect index");
    return items_[i];
}

template <class T>
const T& vector<T>::operator[](int i) const {
    if (!valid_index(i)) matrix_fatal_error(-6, "vector::operator[]: incorrect index");
    return items_[i];
}

template <class T>
T vector<T>::at(int i) const {
    if (!valid_index(i)) {
        matrix_error(-6, "vector::at: incorrect index");
        return T();
    }
    return items_[i];
}

template <class T>
void vector<T>::ins_item(int i, const T& x) {
    if (i < 0 || i > size_) {
        matrix_error(-2, "vector::ins_item: incorrect index");
        return;
    }
    const T value = x;  // x may live in a slot that is about to move
    if (size_ < capacity_) {
        for (int k = size_; k > i; --k) items_[k] = items_[k - 1];
        items_[i] = value;
        ++size_;
        return;
    }
    if (size_ >= container_limit) {
        matrix_error(-2, "vector::ins_item: too many items");
        return;
    }
    const std::size_t count = grown_slot_count(capacity_, step_);
    T* fresh = count != 0 ? allocate_array<T>(count) : nullptr;
    if (!fresh) {
        matrix_error(-1, "vector::can't insert new item: out of memory \n vector is not correct");
        return;
    }
    for (int k = 0; k < i; ++k) fresh[k] = items_[k];
    fresh[i] = value;
    for (int k = i; k < size_; ++k) fresh[k + 1] = items_[k];
    delete[] items_;
    items_ = fresh;
    ++size_;
    capacity_ += step_;
}

template <class T>
void vector<T>::del_item(int i) {
    if (!valid_index(i)) {
        matrix_error(-2, "vector::del_item: incorrect index");
        return;
    }
    for (int k = i + 1; k < size_; ++k) items_[k - 1] = items_[k];
    --size_;
}

template <class T>
T vector<T>::take_item(int i) {
    if (!valid_index(i)) matrix_fatal_error(-2, "vector::take_item: out of range");
    T item = items_[i];
    del_item(i);
    return item;
}

template <class T>
void vector<T>::swap_items(int i, int j) {
    if (!valid_index(i) || !valid_index(j)) matrix_fatal_error(-2, "vector::swap_items: out of range");
    const T t = items_[i];
    items_[i] = items_[j];
    items_[j] = t;
}

template <class T>
int vector<T>::find_item(const T& x) const {
    for (int k = 0; k < size_; ++k)
        if (items_[k] == x) return k;
    return -1;
}

template <class T>
template <class Op>
vector<T>& vector<T>::combine_in_place(const vector& v, Op op, const char* size_message) {
    if (v.size_ != size_) {
        matrix_error(-3, size_message);
        return *this;
    }
    for (int k = 0; k < size_; ++k) items_[k] = op(items_[k], v.items_[k]);
    return *this;
}

template <class T>
vector<T>& vector<T>::operator+=(const vector& v) {
    return combine_in_place(v, [](const T& a, const T& b) { return a + b; },
                            "vector::operator+= :different sizes of vectors");
}

template <class T>
vector<T>& vector<T>::operator-=(const vector& v) {
    return combine_in_place(v, [](const T& a, const T& b) { return a - b; },
                            "vector::operator-= :different sizes of vectors");
}

namespace detail {

// A copy of v that does not depend on matrix_status (copy construction does):
// the "copy of the first operand" that failed vector arithmetic returns.
template <class T>
vector<T> copy_regardless_of_status(const vector<T>& v) {
    vector<T> copy(v.size(), v.step());
    for (int k = 0; k < copy.size(); ++k) copy[k] = v[k];
    return copy;
}

template <class T, class Op>
vector<T> combine_items(const vector<T>& a, const vector<T>& b, Op op, const char* size_message) {
    if (a.size() != b.size()) {
        matrix_error(-3, size_message);
        return copy_regardless_of_status(a);
    }
    vector<T> result(a.size(), 2);
    if (matrix_status != 1) return copy_regardless_of_status(a);
    for (int k = 0; k < result.size(); ++k) result[k] = op(a[k], b[k]);
    return result;
}

} // namespace detail

// Item-wise sum or difference. Different sizes are reported (-3); then, and
// whenever matrix_status is not 1, the result is a copy of a.
template <class T>
vector<T> operator+(const vector<T>& a, const vector<T>& b) {
    return detail::combine_items(a, b, [](const T& x, const T& y) { return x + y; },
                                 "vector::operator+ : different sizes of summand vectors");
}

template <class T>
vector<T> operator-(const vector<T>& a, const vector<T>& b) {
    return detail::combine_items(a, b, [](const T& x, const T& y) { return x - y; },
                                 "vector::operator- :different sizes of vectors");
}

// Equal sizes and every pair of items equal.
template <class T>
bool operator==(const vector<T>& a, const vector<T>& b) {
    if (a.size() != b.size()) return false;
    for (int k = 0; k < a.size(); ++k)
        if (!(a[k] == b[k])) return false;
    return true;
}

template <class T>
bool operator!=(const vector<T>& a, const vector<T>& b) {
    return !(a == b);
}

// Zero plus the sum of a[k] * b[k] over the items of a. b may be longer than a;
// a shorter b is reported (-3) and gives the zero value.
template <class T>
T dot(const vector<T>& a, const vector<T>& b) {
    T sum = T();
    if (b.size() < a.size()) {
        matrix_error(-3, "vector::dot: different sizes of vectors");
        return sum;
    }
    for (int k = 0; k < a.size(); ++k) sum = sum + a[k] * b[k];
    return sum;
}

} // namespace velmora
