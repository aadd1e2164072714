#include "modular/prime_source.hpp"

#include "diag/allocation.hpp"
#include "diag/report.hpp"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <mutex>

namespace velmora {

namespace {

std::uint64_t mul_mod_u64(std::uint64_t a, std::uint64_t b, std::uint64_t n) {
    return static_cast<std::uint64_t>(static_cast<unsigned __int128>(a) * b % n);
}

std::uint64_t pow_mod_u64(std::uint64_t a, std::uint64_t e, std::uint64_t n) {
    std::uint64_t r = 1;
    for (a %= n; e != 0; e >>= 1) {
        if (e & 1) r = mul_mod_u64(r, a, n);
        a = mul_mod_u64(a, a, n);
    }
    return r;
}

// Whether a is a witness that the odd n > 2 is composite, n - 1 = d * 2^s with d odd.
bool witness(std::uint64_t a, std::uint64_t n, std::uint64_t d, int s) {
    std::uint64_t x = pow_mod_u64(a, d, n);
    if (x == 1 || x == n - 1) return false;
    for (int r = 1; r < s; ++r) {
        x = mul_mod_u64(x, x, n);
        if (x == n - 1) return false;
    }
    return true;
}

} // namespace

bool is_prime_u64(std::uint64_t n) {
    constexpr std::uint64_t bases[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};
    if (n < 2) return false;
    for (std::uint64_t b : bases) {
        if (n == b) return true;
        if (n % b == 0) return false;
    }
    std::uint64_t d = n - 1;
    int s = 0;
    for (; d % 2 == 0; d /= 2) ++s;
    for (std::uint64_t b : bases)
        if (witness(b, n, d, s)) return false;
    return true;
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

// The odd numbers of the window [low, low + 2 window_odds) below the primes found so far
// are sieved by the small primes, and only those left go to the Miller-Rabin test. A window
// holds some 760 primes near 2^62 (one number in 43 is prime there).
constexpr int window_odds = 1 << 14;
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
    const std::uint64_t low = top - 2 * std::uint64_t(window_odds);  // odd, as top is
    unsigned char composite[window_odds] = {};
    for (int i = 0; i < small.count; ++i) {
        const std::uint64_t q = small.q[i];
        // The first odd multiple of q at or above low.
        std::uint64_t first = (low + q - 1) / q * q;
        if (first % 2 == 0) first += q;
        for (std::uint64_t x = first; x < top; x += 2 * q) composite[(x - low) / 2] = 1;
    }
    for (int j = window_odds; j-- > 0;)
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
