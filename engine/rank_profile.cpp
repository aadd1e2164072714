#include "engine/rank_profile.hpp"

#include "diag/allocation.hpp"
#include "diag/report.hpp"
#include "reconstruct/crt.hpp"
#include "reconstruct/minor_bound.hpp"
#include "modular/reduce_mod.hpp"
#include "modular/modular_lu.hpp"
#include "reconstruct/prime_batches.hpp"
#include "modular/prime_source.hpp"
#include "reconstruct/remainder_tree.hpp"

#include <algorithm>
#include <memory>

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

// One image: the prime, its rank profile and pivot product (det at full row rank).
struct profile_image {
    profile_image(int m, int n) : w(std::size_t(m) * n), lu(m, n) {}
    checked_buffer<residue> w;
    modular_lu lu;
    std::uint64_t p = 0;
    residue det = 0;  // at full row rank
    int rank = 0;
};

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
    const std::uint64_t p = engine_prime(0);
    checked_buffer<residue> w(std::size_t(m) * n);
    reduce_mod_all(a, w.size(), p, w.data());
    modular_lu lu(m, n);
    out.rank = lu.factor(w.data(), p);
    std::copy(lu.pivot_rows(), lu.pivot_rows() + out.rank, out.rows.data());
    std::copy(lu.pivot_cols(), lu.pivot_cols() + out.rank, out.cols.data());
    out.columns_proven = out.rank == n;
}

void find_rank_profile(const big_int* a, int m, int n, rank_profile_request request, rank_profile& out) {
    const int most = std::min(m, n);
    const bool by_rank_only = !request.columns;
    lazy_minor_bounds bounds(a, m, n);
    const std::size_t count = std::size_t(m) * n;
    const residue_table table(a, count,
                              residue_table::long_integers(a, count) ? primes_for_bits(bounds.bits(most)) + 2 : 0);
    const auto make = [&] { return allocate_object<profile_image>(m, n); };
    const auto fill = [&](profile_image& x, int index) {
        const std::uint64_t p = engine_prime(index);
        x.p = p;
        table.residues(index, x.w.data());
        x.rank = x.lu.factor(x.w.data(), p);
        x.det = x.lu.determinant();
    };
    auto images = make_prime_batches<profile_image>(make, fill);
    // The agreeing primes and, at full row rank, the determinants modulo them.
    int agreeing = 0;
    checked_buffer<std::uint64_t> primes(16);
    checked_buffer<residue> dets(16);
    int best = -1;  // rank of the best list so far
    for (;;) {
        const profile_image& x = images.next();
        const std::uint64_t p = x.p;
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
        primes[agreeing] = p;
        if (r == m) dets[agreeing] = x.det;
        ++agreeing;
        if (agreeing >= primes_for_bits(bits_to_prove(bounds, best, m, n, request))) break;
    }
    out.rank = best;
    out.columns_proven = !by_rank_only || best == n;
    if (request.det_of_full_rows && best == m) {
        reconstruct_symmetric(dets.data(), primes.data(), agreeing, 1, &out.det);
    }
}

int first_prime_rank(const big_int* a, int m, int n) {
    rank_profile profile(m, n);
    first_prime_profile(a, m, n, profile);
    return profile.rank;
}

} // namespace velmora
