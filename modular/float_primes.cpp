#include "modular/float_primes.hpp"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <mutex>

namespace velmora {

namespace {

// The 2^17 primes of the sequence lie below 2^22 and above 2^21 (there are 140,336
// there), in a table of 512 kB that is never allocated: its pages are touched only as the
// sequence grows, and a run under a memory limit cannot fail for it.
std::uint32_t table[max_float_primes];
std::atomic<int> published{0};
int found = 0;  // under the lock; published trails it
std::mutex extend_lock;

constexpr std::uint32_t top = std::uint32_t(1) << 22;
// Every composite below 2^22 has a prime factor below 2048 (2048^2 = 2^22), so a number of
// the range that no odd number in [3, 2897) divides is prime: the sieve is a proof.
constexpr std::uint32_t sieve_limit = 2048;
constexpr int window_odds = 1 << 14;  // some 2,000 primes

// Appends the primes of the next window down, largest first. Pre: the lock is held.
void sieve_next_window() {
    const std::uint32_t high = found == 0 ? top + 1 : table[found - 1];  // odd, one past the window
    const std::uint32_t low = high - 2 * window_odds;                    // odd, the window's least
    static unsigned char composite[window_odds];
    std::fill(composite, composite + window_odds, 0);
    for (std::uint32_t q = 3; q < sieve_limit; q += 2) {
        std::uint32_t first = (low + q - 1) / q * q;
        if (first % 2 == 0) first += q;
        for (std::uint32_t x = first; x < high; x += 2 * q) composite[(x - low) / 2] = 1;
    }
    for (int j = window_odds; j-- > 0 && found < max_float_primes;)
        if (!composite[j]) table[found++] = low + 2 * std::uint32_t(j);
}

} // namespace

std::uint32_t float_prime(int k) {
    assert(k >= 0 && k < max_float_primes);
    if (k >= published.load(std::memory_order_acquire)) {
        const std::lock_guard<std::mutex> hold(extend_lock);
        while (found <= k) sieve_next_window();
        published.store(found, std::memory_order_release);
    }
    return table[k];
}

int float_primes_for_bits(long bits) {
    const long k = (std::max(bits, 0L) + float_prime_bits - 1) / float_prime_bits;
    return static_cast<int>(std::max(k, 1L));
}

} // namespace velmora
