#include "engine/full_rank_solution.hpp"

#include "diag/allocation.hpp"
#include "reconstruct/crt.hpp"
#include "reconstruct/minor_bound.hpp"
#include "modular/blocked_lu.hpp"
#include "modular/blocked_reduced_form.hpp"
#include "modular/float_primes.hpp"
#include "modular/modular_lu.hpp"
#include "reconstruct/prime_batches.hpp"
#include "modular/prime_source.hpp"
#include "reconstruct/remainder_tree.hpp"

#include <algorithm>
#include <cassert>

namespace velmora {

namespace {

// -1, 0 or +1 as the pivot list a comes lexicographically before, equals or comes after b.
int compare_pivots(const int* a, const int* b, int m) {
    for (int t = 0; t < m; ++t)
        if (a[t] != b[t]) return a[t] < b[t] ? -1 : 1;
    return 0;
}

// One image by the left-looking LU modulo a prime of the engine's sequence: its residues,
// reduced in place, the identity part when Q is wanted, its pivots and minor.
struct word_image {
    word_image(int m, int n, bool with_q) : w(std::size_t(m) * n), q(with_q ? std::size_t(m) * m : 0), lu(m, n) {}
    checked_buffer<residue> w, q;
    modular_lu lu;
    const int* rows() const { return lu.pivot_rows(); }
    const int* cols() const { return lu.pivot_cols(); }
    residue w_at(std::size_t e) const { return w[e]; }
    residue q_at(std::size_t e) const { return q[e]; }
    static constexpr bool small_primes = false;
    residue det = 0;
    int rank = 0;
    std::uint64_t p = 0;
};

// The same by the blocked elimination in doubles modulo a prime below 2^22: the pivots of
// the whole matrix from blocked_lu, then the reduced form on them (same layout).
struct float_image {
    float_image(int m, int n, bool with_q)
        : w(std::size_t(m) * n), q(with_q ? std::size_t(m) * m : 0), lu(m, n), form(m, n, with_q) {}
    checked_buffer<double> w, q;  // centered residues
    blocked_lu lu;
    blocked_reduced_form form;
    const int* rows() const { return form.pivot_rows(); }
    const int* cols() const { return lu.pivot_cols(); }
    residue w_at(std::size_t e) const { return in_range(w[e]); }
    residue q_at(std::size_t e) const { return in_range(q[e]); }
    static constexpr bool small_primes = true;  // below 2^22
    residue in_range(double x) const { return residue(x < 0 ? x + double(p) : x); }
    residue det = 0;
    int rank = 0;
    std::uint64_t p = 0;
};

// The residues of D B, D Q and D of the solution s from the images of one pivot list (the
// best so far), a slot per prime, and s.values from them. With primes below 2^31 the
// images are kept in pairs: slots 2i and 2i + 1 as one residue modulo the product of their
// primes, below 2^62, so that the remainders are taken from half as many moduli, in half
// the room.
class kept_images {
public:
    kept_images(full_rank_solution& s, int slots, bool paired)
        : s_(s), count_(s.values.size()), paired_(paired), moduli_(paired ? (slots + 1) / 2 : slots),
          residues_(std::size_t(moduli_) * count_), primes_(moduli_), non_pivots_(s.n - s.m) {}

    // s.pivots := the pivot columns of x, and the other columns in order with them.
    template <class Image>
    void take_pivots(const Image& x) {
        const int m = s_.m, n = s_.n;
        std::copy(x.cols(), x.cols() + m, s_.pivots.data());
        std::size_t c = 0;
        for (int j = 0, t = 0; j < n; ++j) {
            if (t < m && s_.pivots[t] == j) ++t;
            else non_pivots_[c++] = j;
        }
    }

    // Stores image x (of the pivot list taken) as the residues of D B, D Q and D in `slot`.
    template <class Image>
    void keep(int slot, const Image& x) {
        const int m = s_.m, n = s_.n;
        const std::size_t width = s_.width;
        const std::uint64_t p = x.p;
        const int modulus = paired_ ? slot / 2 : slot;
        residue* out = residues_.data() + std::size_t(modulus) * count_;
        // The second of a pair: r = a + q (v - a) q^-1 mod p is v mod p and a mod q, q the
        // first prime and a its residue (r < q p).
        const bool second = paired_ && slot % 2 == 1;
        const std::uint64_t q = second ? primes_[modulus] : 1;
        const shoup_factor q_inverse = make_shoup_factor(second ? inverse_mod(q % p, p) : 0, p);
        const auto put = [&](std::size_t e, residue v) {
            out[e] = second ? out[e] + q * mul_shoup(sub_mod(v, out[e] % p, p), q_inverse, p) : v;
        };
        const shoup_factor d = make_shoup_factor(x.det, p);
        for (int t = 0; t < m; ++t) {
            const std::size_t row = std::size_t(x.rows()[t]) * n;
            for (std::size_t c = 0; c < width; ++c) put(t * width + c, mul_shoup(x.w_at(row + non_pivots_[c]), d, p));
        }
        if (s_.with_q) {
            const std::size_t q_part = std::size_t(m) * width;
            for (int t = 0; t < m; ++t) {
                const std::size_t row = std::size_t(x.rows()[t]) * m;
                for (int u = 0; u < m; ++u)
                    put(q_part + std::size_t(t) * m + x.rows()[u], mul_shoup(x.q_at(row + u), d, p));
            }
        }
        put(count_ - 1, x.det);
        primes_[modulus] = second ? q * p : p;
    }

    // s.values from the first `slots` slots, symmetric modulo the product of their primes.
    void reconstruct(int slots) {
        const int moduli = paired_ ? (slots + 1) / 2 : slots;
        reconstruct_symmetric(residues_.data(), primes_.data(), moduli, count_, s_.values.data());
    }

private:
    full_rank_solution& s_;
    const std::size_t count_;  // values of s
    const bool paired_;
    const int moduli_;
    checked_buffer<residue> residues_;
    checked_buffer<std::uint64_t> primes_;  // the moduli: primes, or products of two
    checked_buffer<int> non_pivots_;
};

// The search of solve_full_row_rank over the images of one kernel, k primes of which
// suffice: fill(image, i) makes the image modulo the kernel's prime i.
template <class Image, class Fill>
bool solve_with(full_rank_solution& s, bool rank_known, int k, Fill fill) {
    const int m = s.m;
    const auto make = [&] { return allocate_object<Image>(m, s.n, s.with_q); };
    auto images = make_prime_batches<Image>(make, fill);
    const Image* first = &images.next();
    while (first->rank < m) {
        if (!rank_known) return false;
        first = &images.next();
    }
    // The primes of full rank whose pivot list is the earliest seen; a later list is wrong
    // (see the header), an earlier one drops the primes kept before it.
    kept_images kept(s, k, Image::small_primes);
    kept.take_pivots(*first);
    kept.keep(0, *first);
    int count = 1;
    while (count < k) {
        const Image& x = images.next();
        if (x.rank < m) continue;
        const int order = compare_pivots(x.cols(), s.pivots.data(), m);
        if (order > 0) continue;
        if (order < 0) {
            count = 0;
            kept.take_pivots(x);
        }
        kept.keep(count++, x);
    }
    kept.reconstruct(k);
    return true;
}

// Rows from which the images are made by the blocked elimination (see the header).
// Measured on 2 cores, whole runs of zerkint -b on m-by-2m matrices of entries in [-9, 9]
// (left-looking LU against blocked, seconds): m = 150: 0.11 against 0.12; 200: 0.30
// against 0.34; 250: 0.84 against 0.70; 300: 1.87 against 1.35; 500: 9.2 against 6.8;
// 1000: 165 against 78 (with -q: 200: 0.39 against 0.39; 250: 0.88 against 0.80). The
// blocked kernel needs some 2.8 times the primes (21 bits against 62), which its matrix
// products repay from about 250 rows.
constexpr int blocked_solution_rows = 250;

} // namespace

bool solve_full_row_rank(const big_int* a, full_rank_solution& s, bool rank_known, solution_kernel kernel) {
    const int m = s.m, n = s.n;
    const std::size_t count = std::size_t(m) * n;
    const long bits = minor_bound_bits(a, m, n) + 1;
    const int float_count = float_primes_for_bits(bits);
    // Twice the primes needed stay within the sequence: a prime that is dropped divides the
    // minor on the true pivot columns, and fewer than float_count of them can.
    const bool blocked = kernel == solution_kernel::blocked ||
                         (kernel == solution_kernel::by_size && m >= blocked_solution_rows &&
                          2L * float_count <= max_float_primes && !residue_table::long_integers(a, count));
    if (blocked) {
        // The integers as doubles, once for all the primes, when they fit.
        checked_buffer<double> exact(count);
        const bool in_doubles = exact_in_doubles(a, count, exact.data());
        const auto fill = [&](float_image& x, int index) {
            const std::uint32_t p = float_prime(index);
            x.p = p;
            if (in_doubles) centered_residues(exact.data(), count, p, x.w.data());
            else centered_residues(a, count, p, x.w.data());
            x.rank = x.lu.factor(x.w.data(), p);
            if (x.rank < m) return;
            // W on the pivot columns of a prime is nonsingular modulo it.
            const bool nonsingular = x.form.make(x.w.data(), x.lu.pivot_cols(), p, s.with_q ? x.q.data() : nullptr);
            assert(nonsingular);
            (void)nonsingular;
            x.det = x.form.determinant();
        };
        return solve_with<float_image>(s, rank_known, float_count, fill);
    }
    const int k = primes_for_bits(bits);
    const residue_table table(a, count, k + 2);
    const auto fill = [&](word_image& x, int index) {
        const std::uint64_t p = engine_prime(index);
        x.p = p;
        table.residues(index, x.w.data());
        x.rank = x.lu.factor(x.w.data(), p);
        if (x.rank == m) x.lu.reduced_form(x.w.data(), s.with_q ? x.q.data() : nullptr, x.det);
    };
    return solve_with<word_image>(s, rank_known, k, fill);
}

} // namespace velmora
