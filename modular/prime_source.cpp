#include "modular/prime_source.hpp"

#include "bigint/mag.hpp"
#include "diag/allocation.hpp"
#include "diag/report.hpp"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <mutex>

namespace velmora {

namespace {

// Arithmetic modulo an odd n < 2^63 in Montgomery's form (x held as x 2^64 mod n), so that a
// product needs two word products and no division: the Miller-Rabin test makes some 700
// products per number, over thousands of candidates for each window of primes.
struct montgomery {
    explicit montgomery(std::uint64_t n)
        : n(n), n_neg_inverse(0 - inverse_mod_word(n)),
          one(static_cast<std::uint64_t>((static_cast<unsigned __int128>(1) << 64) % n)) {}

    // x y 2^-64 mod n, for x, y < n: t + m n < 2^128 since n < 2^63.
    std::uint64_t mul(std::uint64_t x, std::uint64_t y) const {
        const unsigned __int128 t = static_cast<unsigned __int128>(x) * y;
        const std::uint64_t m = static_cast<std::uint64_t>(t) * n_neg_inverse;
        const std::uint64_t r = static_cast<std::uint64_t>((t + static_cast<unsigned __int128>(m) * n) >> 64);
        return r >= n ? r - n : r;
    }
    std::uint64_t to(std::uint64_t x) const {
        return static_cast<std::uint64_t>((static_cast<unsigned __int128>(x % n) << 64) % n);
    }

    std::uint64_t n, n_neg_inverse, one;
};

// x^e in the arithmetic f (Montgomery's or plain, below), by squaring.
template <class Arithmetic>
std::uint64_t power(const Arithmetic& f, std::uint64_t x, std::uint64_t e) {
    std::uint64_t r = f.one;
    for (; e != 0; e >>= 1) {
        if (e & 1) r = f.mul(r, x);
        x = f.mul(x, x);
    }
    return r;
}

// Whether a is a witness that the odd n > 2 is composite, n - 1 = d * 2^s with d odd, in the
// arithmetic f of n (Montgomery's for n < 2^63, plain 128-bit division above).
template <class Arithmetic>
bool witness(const Arithmetic& f, std::uint64_t a, std::uint64_t d, int s) {
    const std::uint64_t minus_one = f.n - f.one;
    std::uint64_t x = power(f, f.to(a), d);
    if (x == f.one || x == minus_one) return false;
    for (int r = 1; r < s; ++r) {
        x = f.mul(x, x);
        if (x == minus_one) return false;
    }
    return true;
}

// The same operations by 128-bit division, for n >= 2^63.
struct plain_modulus {
    explicit plain_modulus(std::uint64_t n) : n(n) {}
    std::uint64_t mul(std::uint64_t x, std::uint64_t y) const {
        return static_cast<std::uint64_t>(static_cast<unsigned __int128>(x) * y % n);
    }
    std::uint64_t to(std::uint64_t x) const { return x % n; }
    std::uint64_t n, one = 1;
};

template <class Arithmetic>
bool passes_every_base(const Arithmetic& f, const std::uint64_t* bases, int count, std::uint64_t d, int s) {
    for (int i = 0; i < count; ++i)
        if (witness(f, bases[i], d, s)) return false;
    return true;
}

} // namespace

bool is_prime_u64(std::uint64_t n) {
    constexpr std::uint64_t bases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
    constexpr int count = sizeof bases / sizeof bases[0];
    if (n < 2) return false;
    for (std::uint64_t b : bases) {
        if (n == b) return true;
        if (n % b == 0) return false;
    }
    std::uint64_t d = n - 1;
    int s = 0;
    for (; d % 2 == 0; d /= 2) ++s;
    if (n < (std::uint64_t(1) << 63)) return passes_every_base(montgomery(n), bases, count, d, s);
    return passes_every_base(plain_modulus(n), bases, count, d, s);
}

namespace {

// The primes are kept in chunks that never move once allocated, so that a reader needs no
// lock for a prime already published: `published` is stored (release) only after the
// primes below it are written, and read (acquire) before any of them is.
constexpr int chunk_primes = 1 << 12;
constexpr int chunk_count = max_engine_primes / chunk_primes;

std::uint64_t* chunks[chunk_count];
std::atomic<int> published{0};
int found_count = 0;  // primes written, under the lock; published trails it
std::mutex extend_lock;

// Appends p at found_count. Pre: the lock is held.
void append_found(std::uint64_t p) {
    const int c = found_count / chunk_primes;
    if (c == chunk_count) return;  // beyond every index that may be asked for
    if (chunks[c] == nullptr) {
        chunks[c] = allocate_raw<std::uint64_t>(std::size_t(chunk_primes));
        if (chunks[c] == nullptr) heap_overflow();
    }
    chunks[c][found_count % chunk_primes] = p;
    ++found_count;
}

// The odd numbers of a window [low, low + 2 odds) below the primes found so far are sieved
// by the small primes, and only those left go to the Miller-Rabin test. The first window
// holds first_window_odds odd numbers, some 12 primes near 2^62 (one number in 43 is prime
// there), enough for small matrices; each next one twice as many, up to window_odds (some
// 760 primes), where the sieve's cost per prime has levelled off.
constexpr int first_window_odds = 1 << 8;
constexpr int window_odds = 1 << 14;
int windows_made = 0;  // under the lock
constexpr std::uint32_t sieve_limit = 1 << 12;

// The odd primes below sieve_limit, made once. Pre: the lock is held.
struct small_primes {
    std::uint32_t q[600];
    int count = 0;
    small_primes() {
        for (std::uint32_t c = 3; c < sieve_limit; c += 2) {
            bool prime = true;
            for (int i = 0; i < count && q[i] * q[i] <= c; ++i)
                if (c % q[i] == 0) prime = false;
            if (prime) q[count++] = c;
        }
    }
};

// Appends the primes of the next window down, largest first. Pre: the lock is held.
void find_more_primes() {
    static const small_primes small;
    // One past the largest candidate, odd: 2^62 + 1 before the first prime.
    const std::uint64_t top = found_count == 0 ? (std::uint64_t(1) << 62) + 1
                                               : chunks[(found_count - 1) / chunk_primes][(found_count - 1) % chunk_primes];
    const int odds = std::min(window_odds, first_window_odds << std::min(windows_made, 6));
    ++windows_made;
    const std::uint64_t low = top - 2 * std::uint64_t(odds);  // odd, as top is
    unsigned char composite[window_odds] = {};
    for (int i = 0; i < small.count; ++i) {
        const std::uint64_t q = small.q[i];
        // The first odd multiple of q at or above low.
        std::uint64_t first = (low + q - 1) / q * q;
        if (first % 2 == 0) first += q;
        for (std::uint64_t x = first; x < top; x += 2 * q) composite[(x - low) / 2] = 1;
    }
    for (int j = odds; j-- > 0;)
        if (!composite[j] && is_prime_u64(low + 2 * std::uint64_t(j))) append_found(low + 2 * std::uint64_t(j));
}

} // namespace

std::uint64_t engine_prime(int k) {
    assert(k >= 0 && k < max_engine_primes);
    if (k >= published.load(std::memory_order_acquire)) {
        const std::lock_guard<std::mutex> hold(extend_lock);
        while (found_count <= k) find_more_primes();
        published.store(found_count, std::memory_order_release);
    }
    return chunks[k / chunk_primes][k % chunk_primes];
}

int primes_for_bits(long bits) {
    const long k = (std::max(bits, 0L) + 1 + engine_prime_bits - 1) / engine_prime_bits;
    return static_cast<int>(std::max(k, 1L));
}

} // namespace velmora
