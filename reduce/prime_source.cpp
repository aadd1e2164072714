#include "reduce/prime_source.hpp"

#include "diag/allocation.hpp"
#include "diag/report.hpp"
#include "reduce/modular.hpp"

#include <algorithm>
#include <cassert>
#include <cstring>

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

// The primes found below the table so far, largest first.
std::uint64_t* found = nullptr;
int found_count = 0;
int found_room = 0;

void append_found(std::uint64_t p) {
    if (found_count == found_room) {
        const int room = std::max(64, 2 * found_room);
        auto* grown = allocate_raw<std::uint64_t>(std::size_t(room));
        if (grown == nullptr) big_arith_fatal_error("the heap overflow");
        if (found_count > 0) std::memcpy(grown, found, sizeof(std::uint64_t) * std::size_t(found_count));
        delete[] found;
        found = grown;
        found_room = room;
    }
    found[found_count++] = p;
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

// The odd numbers of the window [low, low + 2 window_odds) below the primes found so far
// are sieved by the small primes, and only those left go to the Miller-Rabin test.
constexpr int window_odds = 1 << 14;
constexpr std::uint32_t sieve_limit = 1 << 12;

// Appends the primes of the next window down, largest first.
void find_more_primes() {
    static std::uint32_t small[600];
    static int small_count = 0;
    if (small_count == 0)
        for (std::uint32_t q = 3; q < sieve_limit; q += 2) {
            bool prime = true;
            for (int i = 0; i < small_count && small[i] * small[i] <= q; ++i)
                if (q % small[i] == 0) prime = false;
            if (prime) small[small_count++] = q;
        }
    const std::uint64_t top = found_count == 0 ? table_prime(prime_table_size - 1) : found[found_count - 1];
    const std::uint64_t low = top - 2 * std::uint64_t(window_odds);  // odd, as top is
    unsigned char composite[window_odds] = {};
    for (int i = 0; i < small_count; ++i) {
        const std::uint64_t q = small[i];
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
    if (k < prime_table_size) return table_prime(k);
    const int index = k - prime_table_size;
    while (found_count <= index) find_more_primes();
    return found[index];
}

int primes_for_bits(long bits) {
    const long k = (std::max(bits, 0L) + 1 + table_prime_bits - 1) / table_prime_bits;
    return static_cast<int>(std::max(k, 1L));
}

} // namespace velmora
