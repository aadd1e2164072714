#include "engine/rank_profile.hpp"

#include "diag/allocation.hpp"
#include "diag/report.hpp"
#include "reconstruct/crt.hpp"
#include "reconstruct/minor_bound.hpp"
#include "modular/reduce_mod.hpp"
#include "modular/blocked_lu.hpp"
#include "modular/float_primes.hpp"
#include "modular/modular_lu.hpp"
#include "reconstruct/prime_batches.hpp"
#include "modular/prime_source.hpp"
#include "reconstruct/remainder_tree.hpp"

#include <algorithm>
#include <memory>
#include <mutex>

namespace velmora {

namespace {

// -1, 0 or +1 as the pivot list a (na columns) is worse than, the same as or better than
// b (nb columns): at the first difference the smaller column is better; a proper prefix
// is worse. Only the lengths count when by_rank_only is set.
int compare_lists(const int* a, int na, const int* b, int nb, bool by_rank_only) {
    if (!by_rank_only)
        for (int t = 0; t < std::min(na, nb); ++t)
            if (a[t] != b[t]) return a[t] < b[t] ? 1 : -1;
    return na == nb ? 0 : (na > nb ? 1 : -1);
}

// The bounds on the minors of a, made when first needed: one prime of rank min(m, n), or of
// rank n, needs none.
class lazy_minor_bounds {
public:
    lazy_minor_bounds(const big_int* a, int m, int n) : a_(a), m_(m), n_(n) {}

    // h with every minor of the given order below 2^h.
    long bits(int order) {
        if (!bounds_) {
            bounds_.reset(allocate_object<minor_bounds>(a_, m_, n_));
            if (!bounds_) heap_overflow();
        }
        return bounds_->bits(order);
    }

private:
    const big_int* a_;
    int m_, n_;
    std::unique_ptr<minor_bounds> bounds_;
};

// One image: the prime, its rank profile and pivot product (det at full row rank), by the
// left-looking LU modulo a prime of the engine's sequence.
struct word_image {
    word_image(int m, int n) : w(std::size_t(m) * n), lu(m, n) {}
    checked_buffer<residue> w;
    modular_lu lu;
    std::uint64_t p = 0;
    residue det = 0;  // at full row rank
    int rank = 0;
    static int primes_for(long bits) { return primes_for_bits(bits); }
};

// The same by the blocked elimination in doubles modulo a prime below 2^22, read from the
// integers themselves: no image of residues is kept beside its work.
struct float_image {
    float_image(int m, int n) : lu(m, n) {}
    blocked_lu lu;
    std::uint64_t p = 0;
    residue det = 0;
    int rank = 0;
    static int primes_for(long bits) { return float_primes_for_bits(bits); }
};

// Orders from which the blocked elimination runs instead of the left-looking LU (the
// least of m and n). Measured on 2 cores: at 200 it takes half the time of the other per
// prime, which pays when one prime settles the profile; where several primes must agree
// it needs some 2.8 times as many (21 bits a prime against 62), and pays from about 400.
constexpr int blocked_single_prime_order = 200;
constexpr int blocked_many_primes_order = 400;

// The bits that the product of the primes agreeing on the best list (best columns) must
// exceed before it is taken (see find_rank_profile): none when its length settles it (a
// rank of min(m, n) when only the rank is asked for, or n pivots, every column); with the
// determinant asked for at full row rank, enough for its symmetric remainder too.
long bits_to_prove(lazy_minor_bounds& bounds, int best, int m, int n, rank_profile_request request) {
    const int most = std::min(m, n);
    const bool settled = (!request.columns && best == most) || best == n;
    long target = settled ? 0 : best < most ? std::max(bounds.bits(best), bounds.bits(best + 1)) : bounds.bits(best);
    if (request.det_of_full_rows && best == m) target = std::max(target, bounds.bits(m) + 1);
    return target;
}

} // namespace

rank_profile::rank_profile(int m, int n) : cols(std::min(m, n)), rows(std::min(m, n)) {}

void first_prime_profile(const big_int* a, int m, int n, rank_profile& out) {
    const std::size_t count = std::size_t(m) * n;
    const auto take = [&](const auto& lu, int rank) {
        out.rank = rank;
        std::copy(lu.pivot_rows(), lu.pivot_rows() + rank, out.rows.data());
        std::copy(lu.pivot_cols(), lu.pivot_cols() + rank, out.cols.data());
        out.columns_proven = rank == n;
    };
    if (std::min(m, n) >= blocked_single_prime_order && !residue_table::long_integers(a, count)) {
        blocked_lu lu(m, n);
        take(lu, lu.factor(a, float_prime(0)));
        return;
    }
    const std::uint64_t p = engine_prime(0);
    checked_buffer<residue> w(count);
    reduce_mod_all(a, w.size(), p, w.data());
    modular_lu lu(m, n);
    take(lu, lu.factor(w.data(), p));
}

namespace {

// The search of find_rank_profile over the images of one kernel: fill(image, k) factors
// the matrix modulo prime k of the kernel's sequence.
template <class Image, class Fill>
void search_profile(int m, int n, rank_profile_request request, lazy_minor_bounds& bounds, Fill fill,
                    rank_profile& out) {
    const bool by_rank_only = !request.columns;
    const auto make = [&] { return allocate_object<Image>(m, n); };
    auto images = make_prime_batches<Image>(make, fill);
    // The agreeing primes and, at full row rank, the determinants modulo them.
    int agreeing = 0;
    checked_buffer<std::uint64_t> primes(16);
    checked_buffer<residue> dets(16);
    int best = -1;  // rank of the best list so far
    for (;;) {
        const Image& x = images.next();
        const int r = x.rank;
        const int* rows = x.lu.pivot_rows();
        const int* cols = x.lu.pivot_cols();
        const int order = best < 0 ? 1 : compare_lists(cols, r, out.cols.data(), best, by_rank_only);
        if (order < 0) continue;
        if (order > 0) {
            best = r;
            agreeing = 0;
            std::copy(cols, cols + r, out.cols.data());
            std::copy(rows, rows + r, out.rows.data());
        }
        if (std::size_t(agreeing) == primes.size()) {
            primes.resize(2 * primes.size());
            dets.resize(2 * dets.size());
        }
        primes[agreeing] = x.p;
        if (r == m) dets[agreeing] = x.det;
        ++agreeing;
        if (agreeing >= Image::primes_for(bits_to_prove(bounds, best, m, n, request))) break;
    }
    out.rank = best;
    out.columns_proven = !by_rank_only || best == n;
    if (request.det_of_full_rows && best == m) reconstruct_symmetric(dets.data(), primes.data(), agreeing, 1, &out.det);
}

} // namespace

void find_rank_profile(const big_int* a, int m, int n, rank_profile_request request, rank_profile& out) {
    const int most = std::min(m, n);
    lazy_minor_bounds bounds(a, m, n);
    const std::size_t count = std::size_t(m) * n;
    const bool long_entries = residue_table::long_integers(a, count);
    // One prime settles the rank alone at full rank, and the columns at full column rank.
    const bool one_prime_likely = !request.det_of_full_rows && (!request.columns || n <= m);
    if (!long_entries && most >= (one_prime_likely ? blocked_single_prime_order : blocked_many_primes_order)) {
        // From the second prime on, the integers are read from a copy in doubles, made once
        // (by whichever thread gets there first) when they fit: the first prime often
        // settles the profile without it.
        checked_buffer<double> exact(1);
        std::once_flag copied;
        bool in_doubles = false;
        const auto fill = [&](float_image& x, int index) {
            x.p = float_prime(index);
            if (index > 0) std::call_once(copied, [&] {
                    exact.resize(count);
                    in_doubles = exact_in_doubles(a, count, exact.data());
                });
            x.rank = in_doubles ? x.lu.factor(exact.data(), std::uint32_t(x.p)) : x.lu.factor(a, std::uint32_t(x.p));
            x.det = x.lu.determinant();
        };
        search_profile<float_image>(m, n, request, bounds, fill, out);
        return;
    }
    const residue_table table(a, count, long_entries ? primes_for_bits(bounds.bits(most)) + 2 : 0);
    const auto fill = [&](word_image& x, int index) {
        x.p = engine_prime(index);
        table.residues(index, x.w.data());
        x.rank = x.lu.factor(x.w.data(), x.p);
        x.det = x.lu.determinant();
    };
    search_profile<word_image>(m, n, request, bounds, fill, out);
}

int first_prime_rank(const big_int* a, int m, int n) {
    rank_profile profile(m, n);
    first_prime_profile(a, m, n, profile);
    return profile.rank;
}

} // namespace velmora
