#include "engine/full_rank_solution.hpp"

#include "diag/allocation.hpp"
#include "reconstruct/crt.hpp"
#include "reconstruct/minor_bound.hpp"
#include "modular/modular_lu.hpp"
#include "reconstruct/prime_batches.hpp"
#include "modular/prime_source.hpp"
#include "reconstruct/remainder_tree.hpp"

#include <algorithm>

namespace velmora {

namespace {

// -1, 0 or +1 as the pivot list a comes lexicographically before, equals or comes after b.
int compare_pivots(const int* a, const int* b, int m) {
    for (int t = 0; t < m; ++t)
        if (a[t] != b[t]) return a[t] < b[t] ? -1 : 1;
    return 0;
}

// One image: its residues, the identity part when Q is wanted, its pivots and minor.
struct solution_image {
    solution_image(int m, int n, bool with_q) : w(std::size_t(m) * n), q(with_q ? std::size_t(m) * m : 0), lu(m, n) {}
    checked_buffer<residue> w, q;
    modular_lu lu;
    const int* rows() const { return lu.pivot_rows(); }
    const int* cols() const { return lu.pivot_cols(); }
    residue det = 0;
    int rank = 0;
    std::uint64_t p = 0;
};

// The residues of D B, D Q and D of the solution s from the images of one pivot list (the
// best so far), a slot per prime, and s.values from them.
class kept_images {
public:
    kept_images(full_rank_solution& s, int slots)
        : s_(s), count_(s.values.size()), residues_(std::size_t(slots) * count_), primes_(slots),
          non_pivots_(s.n - s.m) {}

    // s.pivots := the pivot columns of x, and the other columns in order with them.
    void take_pivots(const solution_image& x) {
        const int m = s_.m, n = s_.n;
        std::copy(x.cols(), x.cols() + m, s_.pivots.data());
        std::size_t c = 0;
        for (int j = 0, t = 0; j < n; ++j) {
            if (t < m && s_.pivots[t] == j) ++t;
            else non_pivots_[c++] = j;
        }
    }

    // Stores image x (of the pivot list taken) as the residues of D B, D Q and D in `slot`.
    void keep(int slot, const solution_image& x) {
        const int m = s_.m, n = s_.n;
        const std::size_t width = s_.width;
        const std::uint64_t p = x.p;
        residue* out = residues_.data() + std::size_t(slot) * count_;
        const shoup_factor d = make_shoup_factor(x.det, p);
        for (int t = 0; t < m; ++t) {
            const residue* row = x.w.data() + std::size_t(x.rows()[t]) * n;
            for (std::size_t c = 0; c < width; ++c) out[t * width + c] = mul_shoup(row[non_pivots_[c]], d, p);
        }
        if (s_.with_q) {
            residue* out_q = out + std::size_t(m) * width;
            for (int t = 0; t < m; ++t) {
                const residue* row = x.q.data() + std::size_t(x.rows()[t]) * m;
                for (int u = 0; u < m; ++u) out_q[std::size_t(t) * m + x.rows()[u]] = mul_shoup(row[u], d, p);
            }
        }
        out[count_ - 1] = x.det;
        primes_[slot] = p;
    }

    // s.values from the first `slots` slots, symmetric modulo the product of their primes.
    void reconstruct(int slots) {
        reconstruct_symmetric(residues_.data(), primes_.data(), slots, count_, s_.values.data());
    }

private:
    full_rank_solution& s_;
    const std::size_t count_;  // values of s
    checked_buffer<residue> residues_;
    checked_buffer<std::uint64_t> primes_;
    checked_buffer<int> non_pivots_;
};

} // namespace

bool solve_full_row_rank(const big_int* a, full_rank_solution& s, bool rank_known) {
    const int m = s.m, n = s.n;
    const int k = primes_for_bits(minor_bound_bits(a, m, n) + 1);
    const residue_table table(a, std::size_t(m) * n, k + 2);
    const auto make = [&] { return allocate_object<solution_image>(m, n, s.with_q); };
    const auto fill = [&](solution_image& x, int index) {
        const std::uint64_t p = engine_prime(index);
        x.p = p;
        table.residues(index, x.w.data());
        x.rank = x.lu.factor(x.w.data(), p);
        if (x.rank == m) x.lu.reduced_form(x.w.data(), s.with_q ? x.q.data() : nullptr, x.det);
    };
    auto images = make_prime_batches<solution_image>(make, fill);
    const solution_image* first = &images.next();
    while (first->rank < m) {
        if (!rank_known) return false;
        first = &images.next();
    }
    // The primes of full rank whose pivot list is the earliest seen; a later list is wrong
    // (see the header), an earlier one drops the primes kept before it.
    kept_images kept(s, k);
    kept.take_pivots(*first);
    kept.keep(0, *first);
    int count = 1;
    while (count < k) {
        const solution_image& x = images.next();
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

} // namespace velmora
