// The matrix operations that are the same for rows and for columns, written once
// over "lines": rows, or columns when `columns` is set.
#pragma once

#include "containers/matrix_core.hpp"

namespace velmora {

template <class T>
vector<T> matrix<T>::copy_line(bool columns, int i, const char* index_message) const {
    vector<T> line;
    if (i < 0 || i >= line_count(columns)) {
        matrix_error(-6, index_message);
        return line;
    }
    line.resize(columns ? rows_ : cols_);
    if (matrix_status != 1) return line;
    for (int p = 0; p < line.size(); ++p) line[p] = columns ? row_table_[p][i] : row_table_[i][p];
    return line;
}

template <class T>
void matrix<T>::add_lines(bool columns, int i, int j, const T& c, const char* index_message) {
    const int count = line_count(columns);
    if (i < 0 || i >= count || j < 0 || j >= count) {
        matrix_error(-6, index_message);
        return;
    }
    const T factor = c;
    for_each_position(columns, i, j, j, [&factor](T& target, T& source, T&) { target = target + source * factor; });
}

template <class T>
void matrix<T>::append_combination(bool columns, int i, const T& ci, int j, const T& cj,
                                   const char* index_message) {
    const int count = line_count(columns);
    if (i < 0 || i >= count || j < 0 || j >= count) {
        matrix_error(-6, index_message);
        return;
    }
    const T factor_i = ci;
    const T factor_j = cj;
    if (columns)
        ins_col(cols_);
    else
        ins_row(rows_);
    if (matrix_status != 1) return;
    for_each_position(columns, line_count(columns) - 1, i, j, [&](T& fresh, T& a, T& b) {
        fresh = a * factor_i + b * factor_j;
    });
}

template <class T>
template <class Op>
void matrix<T>::apply_to_line(bool columns, int i, const T& c, Op op, const char* index_message) {
    if (i < 0 || i >= line_count(columns)) {
        matrix_error(-6, index_message);
        return;
    }
    const T factor = c;
    for_each_position(columns, i, i, i, [&](T& entry, T&, T&) { entry = op(entry, factor); });
}

template <class T>
matrix<T> matrix<T>::copy_lines(bool columns, const vector<int>& list) const {
    matrix result(columns ? rows_ : list.size(), columns ? list.size() : cols_);
    if (matrix_status != 1) return result;
    for (int r = 0; r < result.rows_; ++r)
        for (int c = 0; c < result.cols_; ++c)
            result.row_table_[r][c] = columns ? at(r, list[c]) : at(list[r], c);
    return result;
}

} // namespace velmora
