// The plain text form of vectors and matrices, read and written: the counts,
// then the entries, each written followed by a tab. Entries go through the
// element type's own stream operators.
#pragma once

#include "containers/matrix.hpp"
#include "diag/allocation.hpp"
#include "diag/checked_text.hpp"
#include "diag/report.hpp"
#include "diag/thread_pool.hpp"

#include <algorithm>
#include <charconv>
#include <istream>
#include <ostream>
#include <string_view>

namespace velmora {

namespace detail {

// While it lives, in is untied from the stream it is tied to (standard output, for
// standard input), which is flushed once at the start, as the first read would flush it:
// else every number read would flush it again. Nothing is written to it meanwhile.
class untied_while_reading {
public:
    explicit untied_while_reading(std::istream& in) : in_(in), tied_(in.tie(nullptr)) {
        if (tied_) tied_->flush();
    }
    untied_while_reading(const untied_while_reading&) = delete;
    untied_while_reading& operator=(const untied_while_reading&) = delete;
    ~untied_while_reading() { in_.tie(tied_); }

private:
    std::istream& in_;
    std::ostream* tied_;
};

// Reads one count with the standard decimal int extraction: 0 stays when
// nothing can be read, an overflow gives INT_MAX, both with failbit set.
inline int read_count(std::istream& in) {
    int count = 0;
    const std::ios::fmtflags flags = in.flags();
    in >> std::dec >> count;
    in.flags(flags);
    return count;
}

// Writes a count in decimal whatever the stream's base flags, as one formatted item,
// from a buffer on the stack.
inline void write_count(std::ostream& out, int count) {
    char digits[16];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, count);
    out << std::string_view(digits, static_cast<std::size_t>(end.ptr - digits));
}

// Flushes, so that a device that refuses the bytes shows in the stream state,
// then reports (-5) a stream that has failed.
inline void check_written(std::ostream& out, const char* message) {
    out.flush();
    if (out.fail()) matrix_error(-5, message);
}

// Entries below which the text of a matrix is made on the calling thread alone.
inline constexpr long entries_for_parallel_text = 2048;

// The rows of a, each as its entries followed by "\t" and then "\n". On several threads,
// for a large matrix, blocks of rows are formatted apart, each into checked memory with
// the formatting of out, and written in order: the same bytes as writing entry by entry.
template <class T>
void write_rows(std::ostream& out, const matrix<T>& a) {
    const int threads = thread_count();
    if (threads == 1 || long(a.rows()) * a.cols() < entries_for_parallel_text) {
        for (int i = 0; i < a.rows(); ++i) {
            for (int j = 0; j < a.cols(); ++j) out << a(i, j) << '\t';
            out << '\n';
        }
        return;
    }
    // Waves of four blocks per thread, each of about 2048 entries.
    const int block_rows = std::max(1, 2048 / std::max(1, a.cols()));
    const int blocks = 4 * threads;
    checked_text* texts = allocate_array<checked_text>(std::size_t(blocks));
    if (texts == nullptr) heap_overflow();
    struct release_texts {
        checked_text* texts;
        ~release_texts() { delete[] texts; }
    } release{texts};
    for (int first = 0; first < a.rows(); first += blocks * block_rows) {
        parallel_for(std::size_t(blocks), [&](std::size_t b) {
            checked_text& text = texts[b];
            text.restart();
            text.copyfmt(out);
            text.exceptions(std::ios::badbit);
            const int begin = first + int(b) * block_rows, end = std::min(a.rows(), begin + block_rows);
            // A zero is written as its text "0", which no flag changes while the field width
            // is 0 (as it is after the counts, which reset it): runs of zeros at once.
            static constexpr char zeros[] = "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t"
                                            "0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t";
            constexpr int zeros_at_once = int(sizeof zeros - 1) / 2;
            const T zero(0);
            int run = 0;
            const auto write_run = [&] {
                for (; run > 0; run -= std::min(run, zeros_at_once))
                    text.write(zeros, 2 * std::min(run, zeros_at_once));
            };
            for (int i = begin; i < end; ++i) {
                for (int j = 0; j < a.cols(); ++j) {
                    if (text.width() == 0 && a(i, j) == zero) {
                        ++run;
                        continue;
                    }
                    write_run();
                    text << a(i, j) << '\t';
                }
                write_run();
                text << '\n';
            }
        });
        for (int b = 0; b < blocks; ++b) {
            const std::string_view piece = texts[b].text();
            out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        }
    }
}

} // namespace detail

// "rows cols\n", then every row as its entries each followed by "\t", and "\n".
// The counts are always decimal. A failed stream is reported (-5).
template <class T>
std::ostream& operator<<(std::ostream& out, const matrix<T>& a) {
    detail::write_count(out, a.rows());
    out << ' ';
    detail::write_count(out, a.cols());
    out << '\n';
    detail::write_rows(out, a);
    detail::check_written(out, "matrix::output error");
    return out;
}

// "size\n", every item followed by "\t", then "\n". A failed stream is reported (-5).
template <class T>
std::ostream& operator<<(std::ostream& out, const vector<T>& v) {
    detail::write_count(out, v.size());
    out << '\n';
    for (int k = 0; k < v.size(); ++k) out << v[k] << '\t';
    out << '\n';
    detail::check_written(out, "vector::output error");
    return out;
}

// Reads the counts m and n, resizes (which reports bad counts), reads the
// m * n entries row by row while matrix_status is 1, whatever they are
// separated by, and reports (-4) a stream that has failed by then.
template <class T>
std::istream& operator>>(std::istream& in, matrix<T>& a) {
    const detail::untied_while_reading untied(in);
    const int m = detail::read_count(in);
    const int n = detail::read_count(in);
    a.resize(m, n);
    if (matrix_status == 1) {
        for (int i = 0; i < a.rows(); ++i)
            for (int j = 0; j < a.cols(); ++j) in >> a(i, j);
    }
    if (in.fail()) matrix_error(-4, "matrix::operator >> : input error");
    return in;
}

// The same with one count.
template <class T>
std::istream& operator>>(std::istream& in, vector<T>& v) {
    const detail::untied_while_reading untied(in);
    v.resize(detail::read_count(in));
    if (matrix_status == 1) {
        for (int k = 0; k < v.size(); ++k) in >> v[k];
    }
    if (in.fail()) matrix_error(-4, "vector::operator >> : input error");
    return in;
}

} // namespace velmora
