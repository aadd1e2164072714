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

} // namespace

bool solve_full_row_rank(const big_int* a, full_rank_solution& s, bool rank_known) {
    const int m = s.m, n = s.n;
    const std::size_t width = s.width;
    // One image: its residues, the identity part when Q is wanted, its pivots and minor.
    struct image {
        image(int m, int n, bool with_q) : w(std::size_t(m) * n), q(with_q ? std::size_t(m) * m : 0), lu(m, n) {}
        checked_buffer<residue> w, q;
        modular_lu lu;
        const int* rows() const { return lu.pivot_rows(); }
        const int* cols() const { return lu.pivot_cols(); }
        residue det = 0;
        int rank = 0;
        std::uint64_t p = 0;
    };
    const int k = primes_for_bits(minor_bound_bits(a, m, n) + 1);
    const residue_table table(a, std::size_t(m) * n, k + 2);
    auto images = make_prime_batches<image>([&] { return allocate_object<image>(m, n, s.with_q); },
                                            [&](image& x, int index) {
                                                const std::uint64_t p = engine_prime(index);
                                                x.p = p;
                                                table.residues(index, x.w.data());
                                                x.rank = x.lu.factor(x.w.data(), p);
                                                if (x.rank == m) x.lu.reduced_form(x.w.data(), s.with_q ? x.q.data() : nullptr, x.det);
                                            });
    auto next_image = [&]() -> image& { return images.next(); };
    const image* first = &next_image();
    while (first->rank < m) {
        if (!rank_known) return false;
        first = &next_image();
    }

    const std::size_t count = s.values.size();
    checked_buffer<residue> residues(std::size_t(k) * count);
    checked_buffer<std::uint64_t> primes(k);
    checked_buffer<int> non_pivots(n - m);

    // Stores image x as the residues of D B, D Q and D in slot `slot`.
    auto keep = [&](int slot, const image& x) {
        const std::uint64_t p = x.p;
        residue* out = residues.data() + std::size_t(slot) * count;
        const shoup_factor d = make_shoup_factor(x.det, p);
        for (int t = 0; t < m; ++t) {
            const residue* row = x.w.data() + std::size_t(x.rows()[t]) * n;
            for (std::size_t c = 0; c < width; ++c) out[t * width + c] = mul_shoup(row[non_pivots[c]], d, p);
        }
        if (s.with_q) {
            residue* out_q = out + std::size_t(m) * width;
            for (int t = 0; t < m; ++t) {
                const residue* row = x.q.data() + std::size_t(x.rows()[t]) * m;
                for (int u = 0; u < m; ++u) out_q[std::size_t(t) * m + x.rows()[u]] = mul_shoup(row[u], d, p);
            }
        }
        out[count - 1] = x.det;
        primes[slot] = p;
    };
    auto take_pivots = [&](const image& x) {
        std::copy(x.cols(), x.cols() + m, s.pivots.data());
        std::size_t c = 0;
        for (int j = 0, t = 0; j < n; ++j) {
            if (t < m && s.pivots[t] == j) ++t;
            else non_pivots[c++] = j;
        }
    };
    take_pivots(*first);
    keep(0, *first);
    int kept = 1;
    while (kept < k) {
        const image& x = next_image();
        if (x.rank < m) continue;
        const int order = compare_pivots(x.cols(), s.pivots.data(), m);
        if (order > 0) continue;
        if (order < 0) {
            kept = 0;
            take_pivots(x);
        }
        keep(kept++, x);
    }
    reconstruct_symmetric(residues.data(), primes.data(), k, count, s.values.data());
    return true;
}

} // namespace velmora
