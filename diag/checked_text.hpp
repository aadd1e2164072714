// Streams over text in memory that never lose bytes: an output stream whose buffer
// grows by the library's checked allocation (a failed growth is the fatal report
// "the heap overflow", never a shortened text), and an input stream over a
// NUL-terminated text that reads the characters in place, without a copy.
#pragma once

#include "diag/allocation.hpp"
#include "diag/report.hpp"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <istream>
#include <ostream>
#include <streambuf>
#include <string_view>

namespace velmora {

namespace detail {

// The put area is the whole allocated block; it doubles (at least) when full.
class checked_text_buffer : public std::streambuf {
public:
    checked_text_buffer() = default;
    checked_text_buffer(const checked_text_buffer&) = delete;
    checked_text_buffer& operator=(const checked_text_buffer&) = delete;
    ~checked_text_buffer() override { delete[] pbase(); }

    std::string_view text() const { return {pbase(), static_cast<std::size_t>(pptr() - pbase())}; }
    void restart() { setp(pbase(), epptr()); }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        make_room(1);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (n <= 0) return 0;
        const std::size_t count = static_cast<std::size_t>(n);
        make_room(count);
        std::memcpy(pptr(), s, count);
        advance(count);
        return n;
    }

private:
    // Moves the put pointer n characters on; pbump takes an int, so a long text moves in steps.
    void advance(std::size_t n) {
        while (n > 0) {
            const int step = static_cast<int>(std::min<std::size_t>(n, std::size_t(1) << 30));
            pbump(step);
            n -= static_cast<std::size_t>(step);
        }
    }

    // Ensures room for n more characters, or ends the process with the fatal report.
    void make_room(std::size_t n) {
        const std::size_t used = static_cast<std::size_t>(pptr() - pbase());
        const std::size_t room = static_cast<std::size_t>(epptr() - pbase());
        if (room - used >= n) return;
        const std::size_t grown = std::max({std::size_t(64), 2 * room, used + n});
        char* block = grown < used + n ? nullptr : allocate_raw<char>(grown);
        if (block == nullptr) heap_overflow();
        if (used > 0) std::memcpy(block, pbase(), used);
        delete[] pbase();
        setp(block, block + grown);
        advance(used);  // setp leaves the put pointer at the start of the block
    }
};

// Reads the characters of a NUL-terminated text where they are.
class char_array_buffer : public std::streambuf {
public:
    explicit char_array_buffer(const char* s) {
        char* begin = const_cast<char*>(s == nullptr ? "" : s);
        setg(begin, begin, begin + std::strlen(begin));
    }
};

} // namespace detail

// An output stream with default formatting whose text is built in checked memory.
// It is set to rethrow what a fatal handler may throw from inside an insertion, so
// that such an exit is never mistaken for a stream failure.
class checked_text : public std::ostream {
public:
    checked_text() : std::ostream(&buffer_) { exceptions(std::ios::badbit); }

    // The text written so far.
    std::string_view text() const { return buffer_.text(); }
    // Empties the text; the memory is kept for the next one.
    void restart() { buffer_.restart(); }

private:
    detail::checked_text_buffer buffer_;
};

// An input stream over the text s (null reads as empty text), read in place.
class text_reader : public std::istream {
public:
    explicit text_reader(const char* s) : std::istream(&buffer_), buffer_(s) {}

private:
    detail::char_array_buffer buffer_;
};

} // namespace velmora
