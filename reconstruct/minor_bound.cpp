#include "reconstruct/minor_bound.hpp"

#include "bigint/arithmetic.hpp"
#include "diag/allocation.hpp"
#include "diag/checked_buffer.hpp"
#include "diag/report.hpp"
#include "bigint/words.hpp"

#include <algorithm>
#include <bit>

namespace velmora {

namespace {

// The product of max(1, s[k]) over k in [0, count).
big_int product_at_least_one(const big_int* s, int count) {
    const big_int one(1);
    big_int product = one;
    for (int k = 0; k < count; ++k)
        if (s[k] > one) product = product * s[k];
    return product;
}

// Entries below 2^small_entry_bits in absolute value: then a line's squared norm, a sum of
// fewer than 2^31 squares below 2^62, stays below 2^93 and is summed in 128 bits.
constexpr int small_entry_bits = 31;

bool small_entries(const big_int* a, int m, int n, const int* cols, int width) {
    for (int i = 0; i < m; ++i)
        for (int c = 0; c < width; ++c) {
            const big_int_rep& r = a[std::size_t(i) * n + (cols ? cols[c] : c)].rep();
            if (r.len > 1 || (r.len == 1 && r.digits[0] >= (std::uint64_t(1) << small_entry_bits))) return false;
        }
    return true;
}

big_int from_128(unsigned __int128 v) {
    const std::uint64_t words[2] = {std::uint64_t(v), std::uint64_t(v >> 64)};
    return big_int_from_words64(1, words, 2);
}

// rows[i] and columns[c]: the squared norms of the rows and of the listed columns.
void squared_norms(const big_int* a, int m, int n, const int* cols, int width, big_int* rows, big_int* columns) {
    if (small_entries(a, m, n, cols, width)) {
        checked_buffer<unsigned __int128> column_sums(std::size_t(width > 0 ? width : 1));
        for (int i = 0; i < m; ++i) {
            unsigned __int128 row_sum = 0;
            for (int c = 0; c < width; ++c) {
                const big_int_rep& r = a[std::size_t(i) * n + (cols ? cols[c] : c)].rep();
                const std::uint64_t x = r.len == 0 ? 0 : r.digits[0];
                const unsigned __int128 square = static_cast<unsigned __int128>(x * x);
                row_sum += square;
                column_sums[c] += square;
            }
            rows[i] = from_128(row_sum);
        }
        for (int c = 0; c < width; ++c) columns[c] = from_128(column_sums[c]);
        return;
    }
    for (int i = 0; i < m; ++i)
        for (int c = 0; c < width; ++c) {
            const big_int& x = a[std::size_t(i) * n + (cols ? cols[c] : c)];
            if (x.rep().len == 0) continue;
            const big_int square = x * x;
            rows[i] = rows[i] + square;
            columns[c] = columns[c] + square;
        }
}

} // namespace

long minor_bound_bits(const big_int* a, int m, int n) {
    // A k-by-k minor is at most the product of the norms of its k rows (or columns), each
    // at most the norm of the whole row (column). Factors below 1 (zero lines) are raised
    // to 1, so taking every row, or the m largest columns, bounds minors of any order.
    checked_buffer<big_int> rows(m), cols(n);
    squared_norms(a, m, n, nullptr, n, rows.data(), cols.data());
    std::sort(cols.data(), cols.data() + n, [](const big_int& x, const big_int& y) { return x > y; });
    const long by_rows = bit_length(product_at_least_one(rows.data(), m));
    const long by_cols = bit_length(product_at_least_one(cols.data(), std::min(m, n)));
    // sqrt(P) < 2^(b/2) <= 2^ceil(b/2) for a product P of b bits.
    return (std::min(by_rows, by_cols) + 1) / 2;
}

namespace {

// bits[k - 1] := bit length of the product of the k largest of the count values s (which it
// sorts), for k = 1 .. orders.
void prefix_product_bits(big_int* s, int count, int orders, long* bits) {
    std::sort(s, s + count, [](const big_int& x, const big_int& y) { return x > y; });
    big_int product(1);
    for (int k = 0; k < orders; ++k) {
        product = product * s[k];
        bits[k] = bit_length(product);
    }
}

} // namespace

minor_bounds::minor_bounds(const big_int* a, int m, int n, const int* cols, int count)
    : orders_(0), bits_(nullptr) {
    const int width = cols ? count : n;
    orders_ = std::min(m, width);
    checked_buffer<big_int> rows(m), columns(width);
    squared_norms(a, m, n, cols, width, rows.data(), columns.data());
    checked_buffer<long> by_rows(orders_), by_columns(orders_);
    prefix_product_bits(rows.data(), m, orders_, by_rows.data());
    prefix_product_bits(columns.data(), width, orders_, by_columns.data());
    bits_ = allocate_raw<long>(std::size_t(std::max(orders_, 1)));
    if (bits_ == nullptr) heap_overflow();
    // sqrt(P) < 2^(b/2) <= 2^ceil(b/2) for a product P of b bits.
    for (int k = 0; k < orders_; ++k) bits_[k] = (std::min(by_rows[k], by_columns[k]) + 1) / 2;
}

minor_bounds::~minor_bounds() { delete[] bits_; }

long minor_bounds::bits(int k) const { return k < 1 || orders_ == 0 ? 0 : bits_[std::min(k, orders_) - 1]; }

} // namespace velmora
