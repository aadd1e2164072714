#include "engine/padic_det.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/mag.hpp"
#include "bigint/words.hpp"
#include "diag/checked_buffer.hpp"
#include "rational/gcd.hpp"
#include "reconstruct/crt.hpp"
#include "engine/prime_determinants.hpp"
#include "modular/half_word_lu.hpp"
#include "reconstruct/minor_bound.hpp"
#include "modular/reduce_mod.hpp"
#include "modular/modular_lu.hpp"
#include "modular/prime_source.hpp"
#include "bigint/product_sum.hpp"
#include "diag/thread_pool.hpp"

#include <algorithm>
#include <mutex>
#include <optional>

namespace velmora {

namespace {

// Primes tried for a factorisation of full rank before giving up: a matrix singular modulo
// all of them is left to the caller (it may be singular; primes alone then decide).
constexpr int primes_tried = 3;

// The entries of b lie in [-b_bound, b_bound]: small, so that the residuals of the small
// lifting stay below n 2^31 + b_bound (see lifting_plan::make_words), and below 2^20 as
// half_word_lu asks.
constexpr int b_bound = 99;

// Entries below 2^small_entry_bits in absolute value and n below 2^small_order_bits keep
// every residual of the lifting below n 2^31 + b_bound and every sum of products below
// 2^124: then 128-bit integers serve (see lift_by_words).
constexpr int small_entry_bits = 31;
constexpr int small_order_bits = 30;

big_int power_of_two(long e) {
    checked_buffer<std::uint64_t> words(std::size_t(e / 64 + 1));
    words[std::size_t(e / 64)] = std::uint64_t(1) << (e % 64);
    return big_int_from_words64(1, words.data(), words.size());
}

// The fraction y / d with |y| <= bound, 0 < d <= bound and y = d x (mod m), found by the
// extended Euclidean algorithm on (m, x) stopped at the first remainder <= bound; false
// when there is none. Pre: 0 <= x < m.
bool rational_reconstruction(const big_int& x, const big_int& m, const big_int& bound, big_int& y, big_int& d) {
    big_int r0 = m, r1 = x, t0(0), t1(1);
    while (r1 > bound) {
        big_int q, r;
        divide(q, r0, r1, r);
        r0 = r1;
        r1 = r;
        const big_int t = t0 - q * t1;
        t0 = t1;
        t1 = t;
    }
    if (t1 == big_int(0) || abs(t1) > bound) return false;
    y = t1 < big_int(0) ? -r1 : r1;
    d = abs(t1);
    return gcd(y, d) == big_int(1);
}

// Factors the n-by-n matrix a (row stride `stride`) modulo q into lu, through w; returns
// its rank modulo q.
int factor_modulo(const big_int* a, int n, std::size_t stride, std::uint64_t q, residue* w, modular_lu& lu) {
    for (int i = 0; i < n; ++i) reduce_mod_all(a + std::size_t(i) * stride, std::size_t(n), q, w + std::size_t(i) * n);
    return lu.factor(w, q);
}

// The word value of a big_int known to fit in 63 bits.
std::int64_t small_value(const big_int& x) {
    const big_int_rep& r = x.rep();
    return r.len == 0 ? 0 : r.sign * std::int64_t(r.digits[0]);
}

// What the lifting needs besides its prime, for the n-by-n matrix A whose row i starts at
// a + i * stride: b, the bound and the number of steps (make); and, for word-size primes,
// the longest entry and the entries as words when they are small (make_words).
struct lifting_plan {
    lifting_plan(const big_int* a, int n, std::size_t stride) : a(a), n(n), stride(stride), b(n), small_a(1) {}

    void make() {
        // b: small entries of both signs, in a fixed pattern; any b with A^-1 b of a large
        // common denominator serves, and a poor one costs only more primes below.
        // (2654435761 is near 2^32 over the golden ratio, which spreads the pattern.)
        for (int j = 0; j < n; ++j)
            b[j] = big_int(int((std::uint64_t(j) * 2654435761u) % (2 * b_bound + 1)) - b_bound);
        checked_buffer<big_int> column(std::size_t(n) * (n + 1));  // [A | b], for the bound
        for (int i = 0; i < n; ++i) {
            std::copy(a + std::size_t(i) * stride, a + std::size_t(i) * stride + n, column.data() + std::size_t(i) * (n + 1));
            column[std::size_t(i) * (n + 1) + n] = b[i];
        }
        const long h = minor_bounds(column.data(), n, n + 1).bits(n);
        bound_bits = h + bit_length(big_int(n));  // 2^bound_bits >= n 2^h
        steps = primes_for_bits(2 * bound_bits + 1);  // p^steps > 2^(2 bound_bits + 1), as for products
    }

    void make_words() {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) a_words = std::max<std::size_t>(a_words, a[std::size_t(i) * stride + j].rep().len);
        // Small entries, for 128-bit integers (see small_entry_bits).
        small = n < (1 << small_order_bits);
        if (small) small_a.resize(std::size_t(n) * n);
        for (int i = 0; i < n && small; ++i)
            for (int j = 0; j < n && small; ++j) {
                const big_int_rep& r = a[std::size_t(i) * stride + j].rep();
                small = r.len == 0 || (r.len == 1 && r.digits[0] < (std::uint64_t(1) << small_entry_bits));
                if (small) small_a[std::size_t(i) * n + j] = small_value(a[std::size_t(i) * stride + j]);
            }
    }

    const big_int* a;
    int n;
    std::size_t stride;
    checked_buffer<big_int> b;
    long bound_bits = 0;
    int steps = 0;
    std::size_t a_words = 1;
    bool small = false;
    checked_buffer<std::int64_t> small_a;
};

// Dixon's lifting modulo a word-size prime p, A factored modulo p in lu: digit s of x_j,
// x = A^-1 b, to digits[s * n + j] for s < steps.
void lift_by_words(const lifting_plan& plan, modular_lu& lu, std::uint64_t p, int steps, residue* digits) {
    const int n = plan.n;
    const big_int prime = big_int_from_word(p);
    checked_buffer<residue> rhs(n);
    if (plan.small) {
        checked_buffer<std::int64_t> residual(n);
        for (int j = 0; j < n; ++j) residual[j] = small_value(plan.b[j]);
        // Such a residual lies within p of 0 (n 2^31 + 99 < 2^61 < p), so its residue needs
        // no division; and the quotient of the exact division by p fits in a word, so it is
        // the low word of the dividend times p^-1 modulo 2^64 (p is odd).
        const std::uint64_t p_inverse = inverse_mod_word(p);
        for (int s = 0; s < steps; ++s) {
            residue* x = digits + std::size_t(s) * n;
            for (int j = 0; j < n; ++j) rhs[j] = residual[j] < 0 ? p - residue(-residual[j]) : residue(residual[j]);
            lu.solve(rhs.data(), x);
            // residual := (residual - A x_s) / p, exactly. A digit is below p < 2^62, so as a
            // signed word it makes each product one signed 64-by-64-bit multiply. Two sums,
            // of the even and the odd terms, overlap their carry chains.
            for (int i = 0; i < n; ++i) {
                const std::int64_t* row = plan.small_a.data() + std::size_t(i) * n;
                __int128 even = residual[i], odd = 0;
                int j = 0;
                for (; j + 1 < n; j += 2) {
                    even -= static_cast<__int128>(row[j]) * static_cast<__int128>(static_cast<std::int64_t>(x[j]));
                    odd -= static_cast<__int128>(row[j + 1]) * static_cast<__int128>(static_cast<std::int64_t>(x[j + 1]));
                }
                if (j < n) even -= static_cast<__int128>(row[j]) * static_cast<__int128>(static_cast<std::int64_t>(x[j]));
                residual[i] = static_cast<std::int64_t>(static_cast<std::uint64_t>(even + odd) * p_inverse);
            }
        }
        return;
    }
    product_sum sum(product_sum_words(plan.a_words + 1, 1, std::size_t(n) + 2));
    checked_buffer<big_int> residual(n);
    for (int j = 0; j < n; ++j) residual[j] = plan.b[j];
    for (int s = 0; s < steps; ++s) {
        residue* x = digits + std::size_t(s) * n;
        for (int j = 0; j < n; ++j) rhs[j] = reduce_mod(residual[j], p);
        lu.solve(rhs.data(), x);
        for (int i = 0; i < n; ++i) {
            sum.clear();
            sum.add_word_product(residual[i], 1, false);
            const big_int* row = plan.a + std::size_t(i) * plan.stride;
            for (int j = 0; j < n; ++j) sum.add_word_product(row[j], x[j], true);
            residual[i] = sum.value() / prime;
        }
    }
}

// d from the digits of x = A^-1 b modulo p^steps; false when the reconstruction fails.
//
// z = x_0 + ... + x_{n-1} modulo p^steps comes from the sums of each step's digits (below
// n p < 2^92); d is the denominator of z in lowest terms. As z = (1 ... 1) adj(A) b / det A,
// d divides det A, and z = y / d with |y| <= n 2^h (a sum of n minors of [A | b] of order n,
// by Cramer's rule) and 0 < d <= 2^h. Two such fractions congruent modulo
// p^steps > 2 B^2, B = 2^bound_bits, are equal (the difference of the cross products is
// below 2 B^2 in absolute value), so the reconstruction, which finds one when there is
// one, finds z itself. No exact check is needed: with the bound on the minors proven, so
// is d.
bool denominator_of_sum(const residue* digits, int n, int steps, std::uint64_t p, long bound_bits, big_int& d) {
    const big_int prime = big_int_from_word(p);
    big_int modulus(1);
    for (int s = 0; s < steps; ++s) modulus = modulus * prime;
    big_int z;
    for (int s = steps; s-- > 0;) {
        unsigned __int128 digit_sum = 0;
        for (int j = 0; j < n; ++j) digit_sum += digits[std::size_t(s) * n + j];
        const std::uint64_t words[2] = {std::uint64_t(digit_sum), std::uint64_t(digit_sum >> 64)};
        z = z * prime + big_int_from_words64(1, words, 2);
    }
    big_int numerator;
    return rational_reconstruction(z % modulus, modulus, power_of_two(bound_bits), numerator, d);
}

// det A modulo the primes after the first of the sequence, found on the second thread
// while the first one lifts (see padic_determinant): the primes are fixed before the
// threads start, and `found` of them have their determinant once find has run.
struct ahead_determinants {
    explicit ahead_determinants(int count)
        : count(count), dets(count > 0 ? count : 1), primes(count > 0 ? count : 1) {
        for (int t = 0; t < count; ++t) primes[t] = engine_prime(t + 1);
    }

    // det A modulo each of the primes, in order.
    void find(const big_int* a, int n, std::size_t stride) {
        checked_buffer<residue> image(std::size_t(n) * n);
        modular_lu image_lu(n, n);
        for (; found < count; ++found) {
            factor_modulo(a, n, stride, primes[found], image.data(), image_lu);
            dets[found] = image_lu.determinant();
        }
    }

    const int count;
    int found = 0;
    checked_buffer<residue> dets;
    checked_buffer<std::uint64_t> primes;
};

// Dixon's lifting for the n-by-n matrix A whose row i starts at a + i * stride: a prime p
// that keeps A invertible, A factored modulo p, and d, the denominator of the sum of the
// entries of A^-1 b (a divisor of det A). narrow: the lifting is to run modulo a prime below
// 2^28 where one keeps A invertible (half_word_lu), else it runs modulo a word-size prime.
struct lifting {
    lifting(const big_int* a, int n, std::size_t stride, bool narrow)
        : a(a), n(n), stride(stride), narrow(narrow), plan(a, n, stride) {}

    // The plan, made once by whichever thread comes to it first: the other thread, before
    // its own work, while this one factors A. The entries as words are made with it unless
    // the narrow lifting is expected (then only if it fails).
    void make_plan() {
        std::call_once(planned, [this] {
            plan.make();
            if (!narrow) plan.make_words();
        });
    }

    // Sets p and the factorisation of A modulo p: a narrow prime when narrow and one of the
    // first primes_tried keeps A invertible (narrow_lifted), else a word-size prime of the
    // sequence; false when none of the first primes_tried of those does.
    bool factor() {
        if (narrow) {
            narrow_lu.emplace(n);
            for (int index = 0; index < primes_tried && !narrow_lifted; ++index) {
                p = half_word_prime(index);
                narrow_lifted = narrow_lu->factor(a, stride, std::uint32_t(p));
            }
        }
        if (narrow_lifted) return true;
        checked_buffer<residue> w(std::size_t(n) * n);
        lu.emplace(n, n);
        for (int index = 0; index < primes_tried; ++index) {
            p = engine_prime(index);
            if (factor_modulo(a, n, stride, p, w.data(), *lu) == n) return true;
        }
        return false;
    }

    // Factors A, lifts x = A^-1 b to enough digits and sets d; false when no prime tried
    // keeps A invertible or the reconstruction fails.
    bool run() {
        if (!factor()) return false;
        make_plan();
        if (narrow && !narrow_lifted) plan.make_words();
        // p^steps > 2^(2 bound_bits + 1): p > 2^27 for the narrow primes, and the products
        // of word-size primes as primes_for_bits counts them.
        const int steps = narrow_lifted ? int((2 * plan.bound_bits + 1) / half_word_prime_bits + 1) : plan.steps;
        checked_buffer<residue> digits(std::size_t(steps) * n);
        if (narrow_lifted) {
            checked_buffer<std::int64_t> b_words(n);
            for (int j = 0; j < n; ++j) b_words[j] = small_value(plan.b[j]);
            narrow_lu->lift(a, stride, b_words.data(), steps, digits.data());
        } else {
            lift_by_words(plan, *lu, p, steps, digits.data());
        }
        return denominator_of_sum(digits.data(), n, steps, p, plan.bound_bits, d);
    }

    const big_int* a;
    int n;
    std::size_t stride;
    const bool narrow;
    lifting_plan plan;
    std::once_flag planned;
    bool narrow_lifted = false;
    std::optional<half_word_lu> narrow_lu;
    std::optional<modular_lu> lu;
    std::uint64_t p = 0;
    big_int d{1};
};

// Runs lift on this thread and, when ahead has primes, on the second thread: the plan (when
// the lifting has not come to it yet), then beside and the ahead determinants. A beside that
// bounds det A runs first there, and a bound it finds spares the ahead determinants: the
// cofactor it leaves is then covered by p alone, most often. Without a second thread,
// beside runs after the lifting. Returns whether the lifting succeeded.
bool lift_with_beside(lifting& lift, ahead_determinants& ahead, const side_work& beside) {
    if (ahead.count == 0) {
        const bool lifted = lift.run();
        beside();
        return lifted;
    }
    bool lifted = false;
    parallel_for(std::size_t(2), [&](std::size_t task) {
        if (task == 0) {
            lifted = lift.run();
            return;
        }
        lift.make_plan();
        if (beside.det_bits) {
            beside();
            if (beside.bound() >= 0) return;
        }
        ahead.find(lift.a, lift.n, lift.stride);
        if (!beside.det_bits) beside();
    });
    return lifted;
}

// The residues of the cofactor c = det A / d modulo `needed` distinct primes that do not
// divide d, and c from them.
class cofactor_residues {
public:
    cofactor_residues(int needed, const big_int& d) : needed_(needed), d_(d), residues_(needed), primes_(needed) {}

    bool complete() const { return found_ == needed_; }

    // Takes det_q = det A modulo q as c = det_q / d modulo q, unless q is among the primes
    // taken already or divides d (d has no inverse modulo q then). Pre: not complete.
    void offer(std::uint64_t q, residue det_q) {
        const residue d_mod = reduce_mod(d_, q);
        if (d_mod == 0 || std::find(primes_.data(), primes_.data() + found_, q) != primes_.data() + found_) return;
        residues_[found_] = mul_mod(det_q, inverse_mod(d_mod, q), q);
        primes_[found_++] = q;
    }

    // c, symmetric modulo the product of the primes; the residues are used up. Pre: complete.
    big_int value() {
        big_int c;
        reconstruct_symmetric(residues_.data(), primes_.data(), needed_, 1, &c);
        return c;
    }

private:
    const int needed_;
    const big_int& d_;
    int found_ = 0;
    checked_buffer<residue> residues_;
    checked_buffer<std::uint64_t> primes_;
};

// The cofactor c = det A / d, below 2^(h_det - bits(d) + 1) (2^h_det bounding |det A|), from
// primes not dividing d, the first being p (which divides neither det A nor so d): a narrow
// p alone when it exceeds 2|c|, else word-size primes only (primes_for_bits counts those):
// p when it is one, the primes found ahead, then the others of the sequence in order.
big_int cofactor(const lifting& lift, const ahead_determinants& ahead, long h_det) {
    const big_int& d = lift.d;
    const std::uint64_t p = lift.p;
    const long cofactor_bits = std::max(0L, h_det - bit_length(d) + 2);  // 2|c| < 2^cofactor_bits
    if (lift.narrow_lifted && cofactor_bits <= half_word_prime_bits) {
        const residue v = mul_mod(lift.narrow_lu->determinant(), inverse_mod(residue_mod(d, std::uint32_t(p)), p), p);
        return v > p / 2 ? big_int_from_word(v) - big_int_from_word(p) : big_int_from_word(v);
    }
    const int k = primes_for_bits(cofactor_bits);
    cofactor_residues c(k, d);
    if (!lift.narrow_lifted) c.offer(p, lift.lu->determinant());
    for (int t = 0; t < ahead.found && !c.complete(); ++t) c.offer(ahead.primes[t], ahead.dets[t]);
    if (!c.complete()) {
        // The others a batch at a time over the threads (p itself comes again and is passed,
        // and so do the primes found ahead).
        block_determinants others(lift.a, lift.n, lift.stride, k);
        while (!c.complete()) {
            residue det_q = 0;
            const std::uint64_t q = others.next(det_q);
            c.offer(q, det_q);
        }
    }
    return c.value();
}

// h with |det A| < 2^h: the smaller of beside's bound, when it found one, and the bound
// on minors (both hold; a loose bound from beside leaves the one on minors to decide).
long det_bound_bits(const big_int* a, int n, std::size_t stride, const side_work& beside) {
    checked_buffer<int> lead(n);
    for (int j = 0; j < n; ++j) lead[j] = j;
    const long minors = minor_bounds(a, n, int(stride), lead.data(), n).bits(n);
    return beside.bound() >= 0 ? std::min(beside.bound(), minors) : minors;
}

} // namespace

bool padic_determinant(const big_int* a, int n, std::size_t stride, big_int& det, side_work beside) {
    // While one thread finds a prime that keeps A invertible and lifts, the other finds
    // det A modulo the primes after the first, which the cofactor below needs: for most
    // matrices det A / d is small, and the bound on it exceeds |det A| by some 0.72 n bits
    // (Hadamard's bound against the typical determinant), which 3n/4 bits of primes
    // cover, p itself among them. Then it does the caller's work, if any.
    ahead_determinants ahead(thread_count() > 1 ? std::max(1, primes_for_bits(3L * n / 4) - 1) : 0);
    // With a bound on det A to come from beside, the cofactor left by the lifting is small,
    // and a prime below 2^28 covers it: then, for small entries, the lifting runs modulo
    // such a prime (half_word_lu), several times faster per digit bit. Else modulo a
    // word-size prime, which is also the first prime of the cofactor.
    lifting lift(a, n, stride, beside.det_bits != nullptr && lifts(a, n, stride));
    if (!lift_with_beside(lift, ahead, beside)) return false;
    det = cofactor(lift, ahead, det_bound_bits(a, n, stride, beside)) * lift.d;
    return true;
}

} // namespace velmora
