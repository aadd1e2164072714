// Column operations of matrix<T>. Columns have no indirection: inserting,
// removing or exchanging one touches every row storage.
#pragma once

#include "containers/matrix_lines.hpp"

namespace velmora {

template <class T>
vector<T> matrix<T>::col(int j) const {
    return copy_line(true, j, "matrix::col: incorrect index");
}

template <class T>
void matrix<T>::ins_col(int j) {
    if (j < 0 || j > cols_) {
        matrix_error(-6, "matrix::can't ins col: incorrect index");
        return;
    }
    if (cols_ < col_capacity_) {
        for (int r = 0; r < rows_; ++r) {
            T* entries = row_table_[r];
            for (int k = cols_; k > j; --k) entries[k] = entries[k - 1];
            entries[j] = T();
        }
        ++cols_;
        return;
    }
    if (cols_ >= container_limit || rows_ > container_limit) {
        matrix_error(-2, "matrix::ins_col: too many columns");
        return;
    }
    // Every wider storage is obtained before any row changes, so that running
    // out of memory leaves the matrix exactly as it was.
    const std::size_t count = grown_slot_count(col_capacity_, col_step_);
    T** wider = count != 0 ? allocate_array<T*>(static_cast<std::size_t>(rows_)) : nullptr;
    int made = 0;
    for (; wider && made < rows_; ++made) {
        wider[made] = allocate_array<T>(count);
        if (!wider[made]) break;
    }
    if (!wider || made < rows_) {
        for (int r = 0; r < made; ++r) delete[] wider[r];
        delete[] wider;
        matrix_error(-1, "matrix::can't insert new column: out of memory \n matrix is not correct");
        return;
    }
    for (int r = 0; r < rows_; ++r) {
        const T* old = row_table_[r];
        for (int k = 0; k < j; ++k) wider[r][k] = old[k];
        for (int k = j; k < cols_; ++k) wider[r][k + 1] = old[k];
        delete[] old;
        row_table_[r] = wider[r];
    }
    delete[] wider;
    ++cols_;
    col_capacity_ += col_step_;
}

template <class T>
void matrix<T>::ins_col(int j, const vector<T>& v) {
    if (v.size() != rows_) {
        matrix_error(-3, "matrix::can't insert column: sizes are inconsistent");
        return;
    }
    ins_col(j);
    if (matrix_status != 1) return;
    for (int r = 0; r < rows_; ++r) row_table_[r][j] = v[r];
}

template <class T>
vector<T> matrix<T>::take_col(int j) {
    vector<T> taken = col(j);
    if (matrix_status != 1) return taken;
    for (int r = 0; r < rows_; ++r) {
        T* entries = row_table_[r];
        for (int k = j + 1; k < cols_; ++k) entries[k - 1] = entries[k];
    }
    --cols_;
    return taken;
}

template <class T>
void matrix<T>::del_cols(const vector<int>& list) {
    vector<int> listed(cols_);
    if (matrix_status != 1) return;
    for (int k = 0; k < list.size(); ++k) listed[list[k]] = 1;  // fatal outside the columns
    for (int r = 0; r < rows_; ++r) {
        T* entries = row_table_[r];
        int to = 0;
        for (int k = 0; k < cols_; ++k)
            if (!listed[k]) entries[to++] = entries[k];
    }
    int kept = 0;
    for (int k = 0; k < cols_; ++k) kept += listed[k] == 0;
    cols_ = kept;
}

template <class T>
matrix<T> matrix<T>::take_cols(const vector<int>& list) {
    matrix taken = copy_cols(list);
    del_cols(list);
    return taken;
}

template <class T>
matrix<T> matrix<T>::copy_cols(const vector<int>& list) const {
    return copy_lines(true, list);
}

template <class T>
void matrix<T>::add_cols(int i, int j, const T& c) {
    add_lines(true, i, j, c, "matrix::can't add cols: incorrect indices");
}

template <class T>
void matrix<T>::add_cols(int i, const T& ci, int j, const T& cj) {
    append_combination(true, i, ci, j, cj, "matrix::can't add columns: incorrect indices");
}

template <class T>
void matrix<T>::mult_col(int j, const T& c) {
    apply_to_line(true, j, c, [](const T& e, const T& f) { return e * f; }, "matrix::can't mult col: incorrect indices");
}

template <class T>
void matrix<T>::div_col(int j, const T& c) {
    apply_to_line(true, j, c, [](const T& e, const T& f) { return e / f; }, "matrix::can't div col: incorrect indices");
}

template <class T>
void matrix<T>::swap_cols(int i, int j) {
    if (!valid_col(i) || !valid_col(j)) {
        matrix_error(-6, "matrix::can't swap columns: incorrect indices");
        return;
    }
    for_each_position(true, i, j, j, [](T& a, T& b, T&) {
        const T t = a;
        a = b;
        b = t;
    });
}

} // namespace velmora
