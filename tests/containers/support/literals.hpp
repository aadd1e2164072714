// Vectors and matrices written out in tests (and printed by failed checks).
#pragma once

#include "containers/matrix.hpp"
#include "containers/plain_text.hpp"

#include <initializer_list>

namespace velmora::testing_support {

template <class T = int>
vector<T> vector_of(std::initializer_list<T> items) {
    vector<T> v;
    for (const T& x : items) v.append_item(x);
    return v;
}

// An m-by-n matrix with the given entries, row by row.
template <class T = int>
matrix<T> matrix_of(int m, int n, std::initializer_list<T> entries) {
    matrix<T> a(m, n);
    const T* next = entries.begin();
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < n; ++j) a(i, j) = *next++;
    return a;
}

} // namespace velmora::testing_support
