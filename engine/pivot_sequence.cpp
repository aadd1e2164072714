#include "engine/pivot_sequence.hpp"

#include "bigint/arithmetic.hpp"
#include "bigint/words.hpp"
#include "reconstruct/crt.hpp"
#include "engine/determinant.hpp"
#include "engine/padic_det.hpp"
#include "reconstruct/minor_bound.hpp"
#include "modular/residue.hpp"
#include "modular/lanes.hpp"
#include "engine/pivot_guess.hpp"
#include "modular/prime_source.hpp"
#include "rational/gcd.hpp"

#include <algorithm>

namespace velmora {

namespace {

// |x| / sx > |y| / sy for sx, sy > 0, exactly.
bool larger_ratio(const big_int& x, const big_int& sx, const big_int& y, const big_int& sy) {
    return abs(x) * sy > abs(y) * sx;
}

// out.rows and out.order from the row at each position once the r steps are taken.
void set_rows_and_order(const int* row_at, int m, int r, pivot_sequence& out) {
    std::copy(row_at, row_at + r, out.rows.data());
    std::copy(row_at, row_at + m, out.order.data());
}

// The search of the elimination over the minors of the rows at positions t .. m-1 (in
// position order): strictly larger |M_k| / scales[k] wins, so the topmost of equals.
// Returns the winning position minus t, or count when every minor is 0.
std::size_t search(const big_int* minors, std::size_t count, const big_int* scales, const int* row_at) {
    std::size_t best = count;
    for (std::size_t e = 0; e < count; ++e) {
        if (minors[e].rep().len == 0) continue;
        if (best == count || larger_ratio(minors[e], scales[row_at[e]], minors[best], scales[row_at[best]]))
            best = e;
    }
    return best;
}

// Takes the row at position t + best as pivot t: exchanges it with the row at t.
int take_position(int* row_at, int t, std::size_t best, int& exchanges) {
    const int chosen = row_at[t + int(best)];
    if (best != 0) {
        row_at[t + int(best)] = row_at[t];
        row_at[t] = chosen;
        ++exchanges;
    }
    return chosen;
}

// What the exact search works on (see find_pivot_sequence): the integer matrix a (m-by-n)
// with its row scales, the r pivot columns, the bounds on its minors, and count, the lanes
// whose primes cover the largest minor sought.
struct search_problem {
    const big_int* a;
    int m, n;
    const big_int* scales;
    const int* cols;
    int r;
    const minor_bounds& bounds;
    int count;
};

// The exact search replayed on the guessed pivot rows: every lane follows the guess to the
// end, one lane at a time (which is several times faster than the lanes in lockstep, whose
// arrays together exceed the caches), and then at every step the minors of the rows without
// pivot, Chinese-remaindered as in the lockstep search, must put the guessed row first
// under the search's rule. They are M_k = (multiplier of k) * D_{t+1} (the pivot's own
// minor is D_{t+1}), with D_{t+1} the product of the pivots so far modulo each prime. When
// every step agrees, the guess is the sequence that the lockstep search would find: the
// same minors decide every step. False, with out unspecified, when any step disagrees.
bool guide_and_check(const search_problem& problem, const int* guess, pivot_sequence& out) {
    const int m = problem.m, r = problem.r, count = problem.count;
    lanes lane(problem.a, m, problem.n, problem.cols, r, count, false);
    if (!lane.follow(guess)) return false;
    checked_buffer<int> row_at(m);
    for (int k = 0; k < m; ++k) row_at[k] = k;
    checked_buffer<big_int> minors(m);
    checked_buffer<residue> residues(std::size_t(count) * m), d(count);
    checked_buffer<std::uint64_t> primes(count);
    for (int l = 0; l < count; ++l) {
        d[l] = 1;
        primes[l] = lane.prime(l);
    }
    out.exchanges = 0;
    for (int t = 0; t < r; ++t) {
        const int k_t = primes_for_bits(problem.bounds.bits(t + 1) + 1);
        const std::size_t rows_left = std::size_t(m - t);
        for (int l = 0; l < count; ++l) d[l] = mul_mod(d[l], lane.pivot(l, t), primes[l]);
        for (int l = 0; l < k_t; ++l)
            for (std::size_t e = 0; e < rows_left; ++e) {
                const int k = row_at[t + int(e)];
                residues[std::size_t(l) * rows_left + e] =
                    k == guess[t] ? d[l] : mul_mod(lane.multiplier(l, k, t), d[l], primes[l]);
            }
        reconstruct_symmetric(residues.data(), primes.data(), k_t, rows_left, minors.data());
        const std::size_t best = search(minors.data(), rows_left, problem.scales, row_at.data() + t);
        if (best == rows_left || row_at[t + int(best)] != guess[t]) return false;
        take_position(row_at.data(), t, best, out.exchanges);
        if (t == r - 1) out.minor = minors[best];
    }
    set_rows_and_order(row_at.data(), m, r, out);
    return true;
}

// The guessed rows as the search takes them: each exchanged with the row at the step's
// position.
void replay(const int* rows, int m, int r, pivot_sequence& out) {
    checked_buffer<int> row_at(m), position(m);
    for (int k = 0; k < m; ++k) row_at[k] = position[k] = k;
    out.exchanges = 0;
    for (int t = 0; t < r; ++t) {
        const int e = position[rows[t]];
        take_position(row_at.data(), t, std::size_t(e - t), out.exchanges);
        position[row_at[e]] = e;
        position[row_at[t]] = t;
    }
    set_rows_and_order(row_at.data(), m, r, out);
}

// The exact minors M_k of the rows at the positions t .. m-1 (in position order) at step t of
// the lanes, Chinese-remaindered under the bound on minors of order t + 1; and the row at
// each position, which the caller updates as it takes pivots.
struct step_minors {
    step_minors(int m, int count) : row_at(m), minors(m), residues(std::size_t(count) * m), primes(count) {
        for (int k = 0; k < m; ++k) row_at[k] = k;
    }

    // Brings column t into every lane and makes the minors of the rows without pivot;
    // returns how many such rows are left (m - t).
    std::size_t make(lanes& lane, const minor_bounds& bounds, int m, int t) {
        const int k_t = primes_for_bits(bounds.bits(t + 1) + 1);
        const std::size_t rows_left = std::size_t(m - t);
        lane.prepare_columns(t);
        for (int l = 0; l < k_t; ++l) {
            primes[l] = lane.prime(l);
            for (std::size_t e = 0; e < rows_left; ++e)
                residues[std::size_t(l) * rows_left + e] = lane.minor_residue(l, row_at[t + int(e)], t);
        }
        reconstruct_symmetric(residues.data(), primes.data(), k_t, rows_left, minors.data());
        return rows_left;
    }

    checked_buffer<int> row_at;
    checked_buffer<big_int> minors;
    checked_buffer<residue> residues;
    checked_buffer<std::uint64_t> primes;
};

// The search itself, one step at a time, every lane in lockstep. False when a column has no
// nonzero minor left (see find_pivot_sequence).
bool lockstep_search(const search_problem& problem, pivot_sequence& out) {
    const int m = problem.m, r = problem.r;
    lanes lane(problem.a, m, problem.n, problem.cols, r, problem.count, true);
    step_minors step(m, lane.count());
    out.exchanges = 0;
    for (int t = 0; t < r; ++t) {
        const std::size_t rows_left = step.make(lane, problem.bounds, m, t);
        const std::size_t best = search(step.minors.data(), rows_left, problem.scales, step.row_at.data() + t);
        if (best == rows_left) return false;
        const int chosen = take_position(step.row_at.data(), t, best, out.exchanges);
        if (t == r - 1) out.minor = step.minors[best];
        else lane.take(chosen, t);
    }
    set_rows_and_order(step.row_at.data(), m, r, out);
    return true;
}

// The content G_k = gcd(|D_t|, D_t c) of the row at position t + e (see
// find_integer_pivot_sequence), from the residues of D_t c in the first lanes.
class contents {
public:
    contents(const lanes& lane, const minor_bounds& bounds, int m, int r)
        : lane_(lane), bounds_(bounds), values_(std::size_t(std::max(r, 1))),
          residues_(std::size_t(lane.count()) * std::max(r, 1)), column_(std::size_t(std::max(r, 1))),
          primes_(lane.count()), known_(m), content_(m) {}

    // For a new step t with |D_t| = d: every content is made anew when asked for.
    void new_step(int t, const big_int& d) {
        t_ = t;
        d_ = abs(d);
        for (std::size_t k = 0; k < known_.size(); ++k) known_[k] = 0;
    }

    // G_k of row k at the current step, whose minor is m_k.
    const big_int& of(int k, const big_int& m_k) {
        if (known_[k]) return content_[k];
        known_[k] = 1;
        const big_int one(1);
        content_[k] = gcd(d_, m_k);
        if (content_[k] == one) return content_[k];
        // D_t c_v is a minor of order t: primes whose product exceeds twice its bound.
        const int count = primes_for_bits(bounds_.bits(t_) + 1);
        for (int l = 0; l < count; ++l) {
            primes_[l] = lane_.prime(l);
            lane_.combination_residues(l, k, t_, column_.data());
            for (int v = 0; v < t_; ++v) residues_[std::size_t(l) * t_ + v] = column_[v];
        }
        reconstruct_symmetric(residues_.data(), primes_.data(), count, std::size_t(t_), values_.data());
        content_[k] = gcd_with(content_[k], values_.data(), std::size_t(t_));
        return content_[k];
    }

private:
    const lanes& lane_;
    const minor_bounds& bounds_;
    int t_ = 0;
    big_int d_;
    checked_buffer<big_int> values_;
    checked_buffer<residue> residues_, column_;
    checked_buffer<std::uint64_t> primes_;
    checked_buffer<unsigned char> known_;
    checked_buffer<big_int> content_;
};

// The search of the fraction-free elimination over the minors of the rows at positions
// t .. m-1 (in position order), the row at position t + e holding row row_at[e]: strictly
// larger |M_k| / G_k wins, so the topmost of equals. The rows are visited by decreasing
// |M_k| (the topmost first among equal ones), and the visit stops at the first whose |M_k|
// is below the best value, as no later one can reach it. Returns the winning position
// minus t, or count when every minor is 0.
std::size_t integer_search(const big_int* minors, std::size_t count, const int* row_at, contents& content,
                           checked_buffer<std::size_t>& by_size) {
    for (std::size_t e = 0; e < count; ++e) by_size[e] = e;
    std::stable_sort(by_size.data(), by_size.data() + count,
                     [&](std::size_t x, std::size_t y) { return cmp(abs(minors[x]), abs(minors[y])) > 0; });
    std::size_t best = count;
    big_int best_content;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t e = by_size[i];
        if (minors[e].rep().len == 0) break;
        // |M_e| < |M_best| / G_best: neither this row nor any later one can reach the best.
        if (best != count && abs(minors[e]) * best_content < abs(minors[best])) break;
        const big_int& g = content.of(row_at[e], minors[e]);
        if (best == count) {
            best = e;
            best_content = g;
            continue;
        }
        const int order = cmp(abs(minors[e]) * best_content, abs(minors[best]) * g);
        if (order > 0 || (order == 0 && e < best)) {
            best = e;
            best_content = g;
        }
    }
    return best;
}

} // namespace

bool prove_guessed_sequence(const big_int* a, int n, const big_int* scales, const int* cols,
                            const pivot_guess& guess, bool with_minor, pivot_sequence& out) {
    const int r = guess.r;
    if (!may_prove_pivot_rows(guess)) return false;
    if (!with_minor) {
        if (!prove_pivot_rows(guess)) return false;
        replay(guess.rows.data(), guess.m, r, out);
        return true;
    }
    // The minor of the guessed rows, by a p-adic solution with the proof beside it on the
    // other thread; the proof's bound on the minor (that of X_P times the rows' scales)
    // spares the p-adic determinant its primes after the first. A refuted guess, which is
    // rare, wastes the work. A failed p-adic solution leaves the minor to primes alone,
    // but only for a proven guess: its rows are independent, as they need not be else.
    struct proof {
        const pivot_guess* guess;
        const big_int* scales;
        bool proven;
        long bits;
    } work{&guess, scales, false, -1};
    const side_work beside{[](void* c) {
                               proof& w = *static_cast<proof*>(c);
                               long bits = 0;
                               w.proven = prove_pivot_rows(*w.guess, &bits);
                               if (!w.proven) return;
                               big_int scale(1);
                               for (int t = 0; t < w.guess->r; ++t) scale = scale * w.scales[w.guess->rows[t]];
                               w.bits = std::max(bits + bit_length(scale), 1L);
                           },
                           &work, &work.bits};
    checked_buffer<big_int> block(std::size_t(r) * r);
    block_on(a, n, guess.rows.data(), cols, r, block.data());
    bool found = false;
    if (padic_pays(block.data(), r, std::size_t(r)))
        found = padic_determinant(block.data(), r, std::size_t(r), out.minor, beside);
    else
        beside();
    if (!work.proven) return false;
    if (!found) out.minor = leading_determinant(block.data(), r, r);
    replay(guess.rows.data(), guess.m, r, out);
    return true;
}

bool find_pivot_sequence(const big_int* a, int m, int n, const big_int* scales, const int* cols, int r,
                         bool with_minor, pivot_sequence& out, const pivot_guess* made) {
    checked_buffer<int> guessed(r);
    bool guessed_all = false;
    if (made) {
        guessed_all = made->complete;
        if (guessed_all) std::copy(made->rows.data(), made->rows.data() + r, guessed.data());
    } else {
        pivot_guess guess(m, r);
        guessed_all = guess_pivot_rows(a, n, scales, cols, guess);
        if (guessed_all && prove_guessed_sequence(a, n, scales, cols, guess, with_minor, out)) return true;
        if (guessed_all) std::copy(guess.rows.data(), guess.rows.data() + r, guessed.data());
    }
    const minor_bounds bounds(a, m, n, cols, r);
    const search_problem problem{a, m, n, scales, cols, r, bounds, primes_for_bits(bounds.bits(r) + 1)};
    if (guessed_all && guide_and_check(problem, guessed.data(), out)) return true;
    return lockstep_search(problem, out);
}

bool find_integer_pivot_sequence(const big_int* a, int m, int n, const int* cols, int r, pivot_sequence& out) {
    const minor_bounds bounds(a, m, n, cols, r);
    lanes lane(a, m, n, cols, r, primes_for_bits(bounds.bits(r) + 1), true);
    contents content(lane, bounds, m, r);
    step_minors step(m, lane.count());
    checked_buffer<std::size_t> by_size(m);
    big_int d(1);  // D_t, the minor of the pivot rows so far
    out.exchanges = 0;
    for (int t = 0; t < r; ++t) {
        const std::size_t rows_left = step.make(lane, bounds, m, t);
        content.new_step(t, d);
        const std::size_t best = integer_search(step.minors.data(), rows_left, step.row_at.data() + t, content, by_size);
        if (best == rows_left) return false;
        const int chosen = take_position(step.row_at.data(), t, best, out.exchanges);
        d = step.minors[best];
        if (t < r - 1) lane.take(chosen, t);
    }
    set_rows_and_order(step.row_at.data(), m, r, out);
    return true;
}

} // namespace velmora
