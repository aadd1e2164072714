// matrix<T>: a dense matrix whose rows are separate storages behind a table of
// row pointers. This file holds the class and its whole-matrix members; the
// row and column operations are defined in matrix_rows.hpp and matrix_cols.hpp.
// Include containers/matrix.hpp to get all of it.
#pragma once

#include "containers/limits.hpp"
#include "containers/vector.hpp"
#include "diag/allocation.hpp"
#include "diag/report.hpp"

#include <cassert>
#include <cstddef>

namespace velmora {

// Entry (i, j) is slot j of the storage of row i; every row storage has exactly
// col_capacity() entries, and only the first rows() slots of the row table own
// a storage. Indices start at 0. Row and column lists are vector<int> and may
// repeat an index. Failures are reported through matrix_error (the operation
// returns without effect unless stated) or matrix_fatal_error.
template <class T>
class matrix {
public:
    // An empty matrix growing by the given steps (>= 1), then resize(m, n).
    explicit matrix(int m = 0, int n = 0, int row_step = 2, int col_step = 2);
    // Steps of a, resized to a's dimensions; entries copied only while
    // matrix_status is 1.
    matrix(const matrix& a);
    // Takes a's storages; a is left empty.
    matrix(matrix&& a) noexcept;
    ~matrix();
    // Deep copy keeping this matrix's steps: release, resize to a's dimensions,
    // then copy while matrix_status is 1; otherwise reports "can't assign" (-2)
    // and the entries stay zero. Assigning a matrix to itself does nothing.
    matrix& operator=(const matrix& a);

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    int row_capacity() const { return row_capacity_; }
    int col_capacity() const { return col_capacity_; }
    int row_step() const { return row_step_; }
    int col_step() const { return col_step_; }

    // Discards every entry and makes an m-by-n zero matrix. Refuses (-2)
    // negative counts and m + row_step() or n + col_step() above 10000, leaving
    // the matrix as it was; out of memory for the row table (-1) also leaves it
    // as it was, and for a row storage (-1) leaves the rows made so far.
    void resize(int m, int n);

    // Entry (i, j); indices out of range are fatal (-6).
    T& operator()(int i, int j);
    const T& operator()(int i, int j) const;
    // Copy of entry (i, j), or the zero value after reporting bad indices (-6).
    T at(int i, int j) const;

    // Copy of row i (column j); a bad index is reported (-6) and gives an empty
    // vector. The vector is filled only while matrix_status is 1.
    vector<T> row(int i) const;
    vector<T> col(int j) const;

    // Inserts a zero row before row i (i == rows() appends). Refuses a matrix of
    // 10000 rows (-2); reports out of memory (-1) and a bad position (-6).
    void ins_row(int i);
    // ins_row(i), then the new row is filled from v while matrix_status is 1;
    // v.size() must equal cols() (-3).
    void ins_row(int i, const vector<T>& v);
    void append_row(const vector<T>& v) { ins_row(rows_, v); }
    // Installs `storage` (col_capacity() entries, owned by no other matrix) as
    // row i, moving only row pointers. Returns whether it took ownership: a bad
    // position (-6) or out of memory (-1) leaves the storage to the caller.
    bool ins_this_row(int i, T* storage);
    // take_row(i) with the result discarded.
    void del_row(int i) { take_row(i); }
    // row(i); then, while matrix_status is 1, row i is removed.
    vector<T> take_row(int i);
    // Removes every listed row; each bad index is reported (-6) and skipped.
    // Works whatever matrix_status holds.
    void del_rows(const vector<int>& list);
    // Removes the listed rows and returns them in list order, moving their
    // storages; a row listed again is copied into the result. Each bad index is
    // reported (-6). While matrix_status is not 1 nothing is taken.
    matrix take_rows(const vector<int>& list);
    // list.size()-by-cols() matrix of the listed rows, fetched with at() while
    // matrix_status is 1 (so a bad index reports once per entry).
    matrix copy_rows(const vector<int>& list) const;

    // The column forms do for columns what the row forms above do for rows,
    // with the same argument order. ins_col refuses growth past 10000 columns
    // (-2) and a bad position (-6); out of memory (-1) it obtains no storage
    // unless it can obtain all of them, so the matrix stays as it was.
    void ins_col(int j);
    void ins_col(int j, const vector<T>& v);
    void append_col(const vector<T>& v) { ins_col(cols_, v); }
    void del_col(int j) { take_col(j); }
    vector<T> take_col(int j);
    // While matrix_status is 1: removes every listed column; an index outside
    // the columns is fatal (-6). Otherwise nothing changes.
    void del_cols(const vector<int>& list);
    // copy_cols(list), then del_cols(list); returns the copy.
    matrix take_cols(const vector<int>& list);
    matrix copy_cols(const vector<int>& list) const;

    // Elementary operations. Bad indices are reported (-6); i == j is allowed.
    // c, ci and cj may be entries of this matrix: they are copied first.
    // Row i := row i + row j * c.
    void add_rows(int i, int j, const T& c);
    // Appends a row equal to row i * ci + row j * cj (filled while
    // matrix_status is 1).
    void add_rows(int i, const T& ci, int j, const T& cj);
    void mult_row(int i, const T& c);
    // Every entry of row i := entry / c; division by zero is T's affair.
    void div_row(int i, const T& c);
    // Exchanges the two row pointers; no entry is copied.
    void swap_rows(int i, int j);
    void add_cols(int i, int j, const T& c);
    void add_cols(int i, const T& ci, int j, const T& cj);
    void mult_col(int j, const T& c);
    void div_col(int j, const T& c);
    void swap_cols(int i, int j);

    // Entries at the listed rows and columns, in list order. While
    // matrix_status is 1 every index is checked first, and a bad one is fatal.
    matrix submatrix(const vector<int>& row_list, const vector<int>& col_list) const;

private:
    // Frees every row storage and the row table; all fields but the steps become 0.
    void release();
    bool valid_row(int i) const { return i >= 0 && i < rows_; }
    bool valid_col(int j) const { return j >= 0 && j < cols_; }
    // Count of rows, or of columns when `columns` is set.
    int line_count(bool columns) const { return columns ? cols_ : rows_; }
    // Calls f(a, b, c) with the entries of lines i, j and k at each position
    // along them; lines are rows, or columns when `columns` is set.
    template <class F>
    void for_each_position(bool columns, int i, int j, int k, F f);
    vector<T> copy_line(bool columns, int i, const char* index_message) const;
    void add_lines(bool columns, int i, int j, const T& c, const char* index_message);
    void append_combination(bool columns, int i, const T& ci, int j, const T& cj,
                            const char* index_message);
    template <class Op>
    void apply_to_line(bool columns, int i, const T& c, Op op, const char* index_message);
    matrix copy_lines(bool columns, const vector<int>& list) const;
    // Moves the rows that still own a storage to the front of the row table,
    // in their old order, and counts them.
    void pack_rows();

    int rows_ = 0;
    int cols_ = 0;
    int row_capacity_ = 0;
    int col_capacity_ = 0;
    int row_step_;
    int col_step_;
    T** row_table_ = nullptr;
};

template <class T>
matrix<T>::matrix(int m, int n, int row_step, int col_step) : row_step_(row_step), col_step_(col_step) {
    assert(row_step >= 1 && col_step >= 1);
    resize(m, n);
}

template <class T>
matrix<T>::matrix(const matrix& a) : row_step_(a.row_step_), col_step_(a.col_step_) {
    resize(a.rows_, a.cols_);
    if (matrix_status != 1) return;
    for (int i = 0; i < rows_; ++i)
        for (int j = 0; j < cols_; ++j) row_table_[i][j] = a.row_table_[i][j];
}

template <class T>
matrix<T>::matrix(matrix&& a) noexcept
    : rows_(a.rows_), cols_(a.cols_), row_capacity_(a.row_capacity_), col_capacity_(a.col_capacity_),
      row_step_(a.row_step_), col_step_(a.col_step_), row_table_(a.row_table_) {
    a.row_table_ = nullptr;
    a.rows_ = a.cols_ = a.row_capacity_ = a.col_capacity_ = 0;
}

template <class T>
matrix<T>::~matrix() {
    release();
}

template <class T>
void matrix<T>::release() {
    for (int i = 0; i < rows_; ++i) delete[] row_table_[i];
    delete[] row_table_;
    row_table_ = nullptr;
    rows_ = cols_ = row_capacity_ = col_capacity_ = 0;
}

template <class T>
matrix<T>& matrix<T>::operator=(const matrix& a) {
    if (this == &a) return *this;
    release();
    resize(a.rows_, a.cols_);
    if (matrix_status != 1) {
        matrix_error(-2, "matrix::operator= :can't assign matrix");
        return *this;
    }
    for (int i = 0; i < rows_; ++i)
        for (int j = 0; j < cols_; ++j) row_table_[i][j] = a.row_table_[i][j];
    return *this;
}

template <class T>
void matrix<T>::resize(int m, int n) {
    if (m < 0 || n < 0 || m > container_limit - row_step_ || n > container_limit - col_step_) {
        matrix_error(-2, "can't resize matrix:\n incorrect sizes");
        return;
    }
    T** table = allocate_array<T*>(static_cast<std::size_t>(m + row_step_));
    if (!table) {
        matrix_error(-1, "can't resize matrix: out of memory");
        return;
    }
    release();
    row_table_ = table;
    int made = 0;
    while (made < m) {
        T* storage = allocate_array<T>(static_cast<std::size_t>(n + col_step_));
        if (!storage) {
            matrix_error(-1, "can't correctly resize matrix: out of memory");
            break;
        }
        row_table_[made++] = storage;
    }
    rows_ = made;
    cols_ = n;
    row_capacity_ = m + row_step_;
    col_capacity_ = n + col_step_;
}

template <class T>
T& matrix<T>::operator()(int i, int j) {
    if (!valid_row(i) || !valid_col(j)) matrix_fatal_error(-6, "matrix::operator() :incorrect indices");
    return row_table_[i][j];
}

template <class T>
const T& matrix<T>::operator()(int i, int j) const {
    if (!valid_row(i) || !valid_col(j)) matrix_fatal_error(-6, "matrix::operator() :incorrect indices");
    return row_table_[i][j];
}

template <class T>
T matrix<T>::at(int i, int j) const {
    if (!valid_row(i) || !valid_col(j)) {
        matrix_error(-6, "matrix::at: incorrect indices");
        return T();
    }
    return row_table_[i][j];
}

template <class T>
template <class F>
void matrix<T>::for_each_position(bool columns, int i, int j, int k, F f) {
    if (columns) {
        for (int r = 0; r < rows_; ++r) {
            T* entries = row_table_[r];
            f(entries[i], entries[j], entries[k]);
        }
        return;
    }
    T* a = row_table_[i];
    T* b = row_table_[j];
    T* c = row_table_[k];
    for (int p = 0; p < cols_; ++p) f(a[p], b[p], c[p]);
}

template <class T>
void matrix<T>::pack_rows() {
    int kept = 0;
    for (int i = 0; i < rows_; ++i)
        if (row_table_[i]) row_table_[kept++] = row_table_[i];
    for (int i = kept; i < rows_; ++i) row_table_[i] = nullptr;
    rows_ = kept;
}

template <class T>
matrix<T> matrix<T>::submatrix(const vector<int>& row_list, const vector<int>& col_list) const {
    matrix result(row_list.size(), col_list.size());
    if (matrix_status != 1) return result;
    for (int k = 0; k < row_list.size(); ++k)
        if (!valid_row(row_list[k])) matrix_fatal_error(-6, "matrix::submatrix: incorrect index");
    for (int l = 0; l < col_list.size(); ++l)
        if (!valid_col(col_list[l])) matrix_fatal_error(-6, "matrix::submatrix: incorrect index");
    for (int k = 0; k < result.rows_; ++k)
        for (int l = 0; l < result.cols_; ++l) result.row_table_[k][l] = row_table_[row_list[k]][col_list[l]];
    return result;
}

} // namespace velmora
