// Row operations of matrix<T>: insertion, removal and the elementary operations.
// Rows move as whole storages through the row table; no entry is copied.
#pragma once

#include "containers/matrix_lines.hpp"

#include <utility>

namespace velmora {

template <class T>
vector<T> matrix<T>::row(int i) const {
    return copy_line(false, i, "matrix::row: incorrect index");
}

template <class T>
void matrix<T>::ins_row(int i) {
    if (rows_ >= container_limit || cols_ > container_limit) {
        matrix_error(-2, "matrix::ins_row: matrix is too big");
        return;
    }
    T* storage = allocate_array<T>(static_cast<std::size_t>(col_capacity_));
    if (!storage) {
        matrix_error(-1, "can't insert new row: out of memory");
        return;
    }
    if (!ins_this_row(i, storage)) delete[] storage;
}

template <class T>
void matrix<T>::ins_row(int i, const vector<T>& v) {
    if (v.size() != cols_) {
        matrix_error(-3, "matrix::ins_row: can't insert row: sizes are inconsistent");
        return;
    }
    ins_row(i);
    if (matrix_status != 1) return;
    for (int j = 0; j < cols_; ++j) row_table_[i][j] = v[j];
}

template <class T>
bool matrix<T>::ins_this_row(int i, T* storage) {
    if (i < 0 || i > rows_) {
        matrix_error(-6, "matrix::ins_this_row: incorrect index");
        return false;
    }
    if (rows_ == row_capacity_) {
        const std::size_t count = grown_slot_count(row_capacity_, row_step_);
        T** table = count != 0 ? allocate_array<T*>(count) : nullptr;
        if (!table) {
            matrix_error(-1, "can't insert new row: out of memory");
            return false;
        }
        for (int r = 0; r < rows_; ++r) table[r] = row_table_[r];
        delete[] row_table_;
        row_table_ = table;
        row_capacity_ += row_step_;
    }
    for (int r = rows_; r > i; --r) row_table_[r] = row_table_[r - 1];
    row_table_[i] = storage;
    ++rows_;
    return true;
}

template <class T>
vector<T> matrix<T>::take_row(int i) {
    vector<T> taken = row(i);
    if (matrix_status != 1) return taken;
    delete[] row_table_[i];
    row_table_[i] = nullptr;
    pack_rows();
    return taken;
}

template <class T>
void matrix<T>::del_rows(const vector<int>& list) {
    for (int k = 0; k < list.size(); ++k) {
        const int r = list[k];
        if (!valid_row(r)) {
            matrix_error(-6, "matrix::del_rows: incorrect index");
            continue;
        }
        delete[] row_table_[r];  // a row listed again finds its slot empty
        row_table_[r] = nullptr;
    }
    pack_rows();
}

template <class T>
matrix<T> matrix<T>::take_rows(const vector<int>& list) {
    // Moved storages must fit the result, so it gets this matrix's column capacity.
    matrix taken(0, 0, row_step_, col_step_);
    taken.cols_ = cols_;
    taken.col_capacity_ = col_capacity_;
    if (matrix_status != 1) return taken;
    for (int k = 0; k < list.size(); ++k) {
        const int r = list[k];
        if (!valid_row(r)) {
            matrix_error(-6, "matrix::take_rows: incorrect index");
        } else if (row_table_[r]) {
            if (taken.ins_this_row(taken.rows_, row_table_[r])) row_table_[r] = nullptr;
        } else if (matrix_status == 1) {
            // Nothing has failed so far, so list position p became row p of the result.
            int first = 0;
            while (list[first] != r) ++first;
            taken.append_row(taken.row(first));
        } else {
            taken.ins_row(taken.rows_);  // what append_row does once matrix_status is not 1
        }
    }
    pack_rows();
    return taken;
}

template <class T>
matrix<T> matrix<T>::copy_rows(const vector<int>& list) const {
    return copy_lines(false, list);
}

template <class T>
void matrix<T>::add_rows(int i, int j, const T& c) {
    add_lines(false, i, j, c, "matrix::can't add rows: incorrect indices");
}

template <class T>
void matrix<T>::add_rows(int i, const T& ci, int j, const T& cj) {
    append_combination(false, i, ci, j, cj, "matrix::can't add rows: incorrect indices");
}

template <class T>
void matrix<T>::mult_row(int i, const T& c) {
    apply_to_line(false, i, c, [](const T& e, const T& f) { return e * f; }, "matrix::can't mult row: incorrect index");
}

template <class T>
void matrix<T>::div_row(int i, const T& c) {
    apply_to_line(false, i, c, [](const T& e, const T& f) { return e / f; }, "matrix::can't div row: incorrect index");
}

template <class T>
void matrix<T>::swap_rows(int i, int j) {
    if (!valid_row(i) || !valid_row(j)) {
        matrix_error(-6, "matrix::can't swap rows: incorrect indices");
        return;
    }
    std::swap(row_table_[i], row_table_[j]);
}

} // namespace velmora
