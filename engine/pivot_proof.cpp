// The proof, in doubles, that the pivot rows guessed by guess_pivot_rows are those of the
// exact search (prove_pivot_rows), and its cheap necessary test (may_prove_pivot_rows).
#include "engine/pivot_guess.hpp"

#include "engine/double_rows.hpp"
#include "modular/float_gemm.hpp"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// The largest r eps for which the proof below holds: it makes every leading block of H
// the identity plus a matrix of norm at most 1/8, and r eta^2 <= eps / 2 with eta = 2 eps.
constexpr double largest_r_eps = 0.125;

} // namespace

// The proof. Write s_t = rows[t], P = (s_0 .. s_{r-1}), X_P the r-by-r matrix of X on the
// rows P in that order. The exact search, at step t with s_0 .. s_{t-1} taken, compares
// over the rows k without pivot the entries of the Schur complement in column t. When X_P
// has an LU factorisation X_P = L_P U without exchanges (all leading minors nonzero), row k
// of X is L(k, .) U with L = X U^-1 (the multipliers of k: L(k, .) for k in P is the row of
// L_P), and the Schur complement entry of row k at step t is L(k, t) U(t, t). So the search
// takes s_t at every step, whatever its tie rule, if U(t, t) != 0 and |L(k, t)| < 1 for
// every row k without pivot before step t other than s_t (whose L(s_t, t) is 1).
//
// Take any unit lower triangular V and upper triangular W with nonzero diagonal in doubles
// (here V ~ L_P^-1 and W ~ U^-1 from the guess) and the exact products G = X W and
// H = V X_P W = V G_P (G_P: the rows P of G). Suppose |H - I| <= eps entrywise with
// r eps <= 1/8. The leading t-by-t block of H is V_t X_{P,t} W_t (V lower, W upper), and
// is I plus a matrix of norm <= 1/8, so nonsingular: every leading minor of X_P is nonzero,
// X_P = L_P U exists with U(t, t) != 0, and H = (V L_P)(U W) is the LU factorisation of H.
// Doolittle's recurrences on H, by induction over the entries: with eta = 2 eps, every
// multiplier and every off-diagonal entry of T = U W is at most eta in absolute value and
// |T(t, t) - 1| <= eta (each is at most eps + r eta^2 <= 1.5 eps before a division by a
// pivot >= 1 - 1.5 eps). So T = I + F, |F| <= eta, and |T^-1 - I| <= sum_p r^(p-1) eta^p
// = eta / (1 - r eta) =: tau entrywise (|F^p| counts at most r^(p-1) paths). Finally
// L = X U^-1 = G T^-1, T^-1 upper, so |L(k, t) - G(k, t)| <= tau sum_{j<=t} |G(k, j)|.
//
// G and H are known only through their values in doubles: with Gd = fl(Xd W) from the
// stored values Xd (|X - Xd| <= 2^-50 |Xd|) and gamma = r u / (1 - r u), u = 2^-53,
// |G - Gd| <= (2^-50 + gamma)|Xd||W| <= RG(k, j) := c min(rmax(k) csum(j), cw(j)), with
// rmax(k) the largest |Xd(k, .)|, csum(j) the column sum of |W|, cw(j) that sum weighted
// by the largest |Xd| of each row l of W (two bounds on |Xd||W|, for rows and for columns
// of unlike scales), and c slightly above 2^-50 + gamma (gamma bounds the rounding of a
// sum of at most r products taken in any order, fused or not: so the products may be
// grouped by blocks, as they are, or left to a BLAS);
// and with Hd = fl(V Gd_P), |H - Hd| <= |V| RG_P + gamma |V||Gd_P|, bounded by the largest
// row sum of |V| times (max RG_P + gamma max |Gd_P|). The few sums and products that make
// these bounds are rounded too; each is enlarged by a relative 2^-20, far above their
// relative error (below r u), and the final comparison by its own rounding error. Results
// below the normal range add an absolute error below 2^-1074 per operation; r 2^-1070 is
// added to RG and, through V, to eps for them. A value that is not finite ends the proof.
bool may_prove_pivot_rows(const pivot_guess& guess) {
    // The proof needs r eps <= 1/8, and eps is at least 2^-50 |W(j, j)| min(rmax_P, cmax(j))
    // for every j (see its bounds on G: csum(j) and cw(j) / cmax(j) are at least
    // |W(j, j)|, and |W(j, j)| >= (1 - u) / |U(j, j)|). Asking less, with 2^-51 in place
    // of 2^-50, keeps the test a necessary condition.
    const int m = guess.m, r = guess.r;
    if (r <= 0) return false;
    checked_buffer<double> cmax(r);
    double rmax_p = 0.0;
    checked_buffer<unsigned char> pivot_row(m);
    for (int t = 0; t < r; ++t) pivot_row[guess.rows[t]] = 1;
    for (int k = 0; k < m; ++k) {
        const double* xk = row_of(guess.values.data(), r, k);
        double largest = 0.0;
        for (int c = 0; c < r; ++c) {
            cmax[c] = std::max(cmax[c], std::fabs(xk[c]));
            largest = std::max(largest, std::fabs(xk[c]));
        }
        if (pivot_row[k]) rmax_p = std::max(rmax_p, largest);
    }
    for (int j = 0; j < r; ++j) {
        const double u = std::fabs(row_of(guess.factors.data(), r, guess.rows[j])[j]);
        if (!((1.0 / largest_r_eps) * r * (guess_value_error / 2) * std::min(rmax_p, cmax[j]) <= u)) return false;
    }
    return true;
}

namespace {

// The steps of prove_pivot_rows (see the proof above), in order, each false when the proof
// fails at it; each keeps the values that the later ones use. Pre: r >= 1.
class pivot_proof {
public:
    pivot_proof(const pivot_guess& guess, proof_products products)
        : guess_(guess),
          on_seam_(products == proof_products::seam || (products == proof_products::by_size && guess.r >= seam_rows)), m_(guess.m), r_(guess.r), lu_(guess.factors.data()), s_(guess.rows.data()),
          gamma_(r_ * double_unit / (1.0 - r_ * double_unit)), w_(std::size_t(r_) * r_),
          v_(std::size_t(r_) * r_), csum_(r_), cmax_(r_), cw_(r_), rmax_(m_), g_p_(std::size_t(r_) * r_),
          c_g_((guess_value_error + gamma_) * widen), underflow_(r_ * subnormal_error) {}

    // W = U^-1, row i from the rows below it: U(i, i) W(i, .) = e_i - sum_{l>i} U(i, l) W(l, .),
    // a band of rows at a time from the last: first the terms of the rows below the band,
    // by blocks (add_product), then those within it, row by row. (Any upper triangular W
    // in doubles serves the proof; its accuracy decides only the margins.) False when a
    // pivot is zero or not finite.
    bool invert_u() {
        checked_buffer<double*> w_rows(band);
        for (int i1 = r_; i1 > 0; i1 -= band) {
            const int i0 = std::max(0, i1 - band), count = i1 - i0;
            for (int i = i0; i < i1; ++i) {
                const double* u = row_of(lu_, r_, s_[i]);
                if (!(u[i] != 0.0) || !std::isfinite(u[i])) return false;
                w_rows[i - i0] = row_of(w_.data(), r_, i);
                w_rows[i - i0][i] = 1.0;
            }
            // On the rows and columns from i1 on, where the rows below the band are nonzero:
            // W stays 0 below its diagonal.
            for (int i = 0; i < count; ++i) w_rows[i] += i1;
            add_product(
                w_rows.data(), count, [&](int i, int l) { return -row_of(lu_, r_, s_[i0 + i])[i1 + l]; },
                w_.data() + std::size_t(i1) * r_ + i1, std::size_t(r_), r_ - i1, r_ - i1, true, [](int) { return 0; },
                [&](int) { return r_ - i1; });
            for (int i = i1 - 1; i >= i0; --i) {
                const double* u = row_of(lu_, r_, s_[i]);
                double* wi = row_of(w_.data(), r_, i);
                add_rows(
                    wi, i + 1, i1, [&](int l) { return -u[l]; }, [&](int l) { return row_of(w_.data(), r_, l); },
                    [](int l) { return l; }, [&](int) { return r_; });
                const double inverse = 1.0 / u[i];
                for (int c = i; c < r_; ++c) wi[c] *= inverse;
            }
        }
        return true;
    }

    // V = L_P^-1, unit lower: V(i, .) = e_i - sum_{l<i} L_P(i, l) V(l, .), a band of rows at a
    // time as for W; and the largest row sum of |V|. False when a row sum is not finite.
    bool invert_l() {
        checked_buffer<double*> v_rows(band);
        for (int i0 = 0; i0 < r_; i0 += band) {
            const int i1 = std::min(r_, i0 + band), count = i1 - i0;
            for (int i = i0; i < i1; ++i) {
                v_rows[i - i0] = row_of(v_.data(), r_, i);
                v_rows[i - i0][i] = 1.0;
            }
            add_product(
                v_rows.data(), count, [&](int i, int l) { return -row_of(lu_, r_, s_[i0 + i])[l]; }, v_.data(),
                std::size_t(r_), r_, i0, false, [](int) { return 0; }, [&](int) { return i0; });
            for (int i = i0; i < i1; ++i) {
                const double* l_row = row_of(lu_, r_, s_[i]);
                double* vi = row_of(v_.data(), r_, i);
                add_rows(
                    vi, i0, i, [&](int l) { return -l_row[l]; }, [&](int l) { return row_of(v_.data(), r_, l); },
                    [](int) { return 0; }, [](int l) { return l + 1; });
                double sum = 0.0;
                for (int c = 0; c <= i; ++c) sum += std::fabs(vi[c]);
                if (!std::isfinite(sum)) return false;
                v_norm_ = std::max(v_norm_, sum);
            }
        }
        return true;
    }

    // csum(j) = sum_l |W(l, j)|, cw(j) = sum_l cmax(l) |W(l, j)| with cmax(l) the largest
    // |Xd(., l)|: (|Xd||W|)(k, j) is at most rmax(k) csum(j) and at most cw(j). All enlarged
    // by widen. False when a sum is not finite.
    bool bound_products() {
        for (int k = 0; k < m_; ++k) {
            const double* xk = row_of(guess_.values.data(), r_, k);
            for (int c = 0; c < r_; ++c) {
                cmax_[c] = std::max(cmax_[c], std::fabs(xk[c]));
                rmax_[k] = std::max(rmax_[k], std::fabs(xk[c]));
            }
            rmax_[k] *= widen;
        }
        for (int i = 0; i < r_; ++i) {
            const double* wi = row_of(w_.data(), r_, i);
            for (int c = i; c < r_; ++c) {
                csum_[c] += std::fabs(wi[c]);
                cw_[c] += cmax_[i] * std::fabs(wi[c]);
            }
        }
        for (int c = 0; c < r_; ++c) {
            if (!std::isfinite(csum_[c]) || !std::isfinite(cw_[c])) return false;
            csum_[c] *= widen;
            cw_[c] *= widen;
            csum_max_ = std::max(csum_max_, csum_[c]);
            cw_max_ = std::max(cw_max_, cw_[c]);
        }
        return true;
    }

    // Gd_P, then Hd = fl(V Gd_P) and eps bounding |H - I| entrywise, and tau bounding
    // |T^-1 - I|. False when a value is not finite or r eps exceeds 1/8.
    bool bound_h() {
        double g_p_max = 0.0, rmax_p = 0.0;
        for (int i = 0; i < r_; ++i) rmax_p = std::max(rmax_p, rmax_[s_[i]]);
        if (on_seam_) products_g_p_on_seam();
        else products_g_p();
        for (std::size_t e = 0; e < std::size_t(r_) * r_; ++e) {
            if (!std::isfinite(g_p_[e])) return false;
            g_p_max = std::max(g_p_max, std::fabs(g_p_[e]));
        }
        double off = 0.0;
        if (!(on_seam_ ? off_identity_on_seam(off) : off_identity(off))) return false;
        eps_ = (off + underflow_ +
                v_norm_ * (c_g_ * std::min(rmax_p * csum_max_, cw_max_) + underflow_ + gamma_ * g_p_max)) *
               widen;
        if (!std::isfinite(eps_) || !(r_ * eps_ <= largest_r_eps)) return false;
        const double eta = 2.0 * eps_;
        tau_ = eta / (1.0 - r_ * eta) * widen;
        return true;
    }

    // |L(k, t)| < 1 for every row k without pivot before step t, k != s_t, unless row k
    // was settled exactly at step t. The bound on |L(k, t)| is a sum of at most r + 2
    // rounded terms, each bound enlarged already: a relative 4 gamma + 2^-50 covers its own
    // rounding, and leaves the margins of the search (often below 10^-6 on large matrices)
    // to decide.
    bool multipliers_below_one() {
        const double final_widen = 1.0 + 4.0 * gamma_ + 0x1p-50;
        checked_buffer<int> step_of(m_);
        for (int k = 0; k < m_; ++k) step_of[k] = r_;
        for (int t = 0; t < r_; ++t) step_of[s_[t]] = t;
        checked_buffer<double> g(r_);
        for (int k = 0; k < m_; ++k) {
            const int last = step_of[k];  // the steps t < last
            if (last == 0) continue;
            const double* gk = g.data();
            if (last < r_)
                gk = row_of(g_p_.data(), r_, last);
            else
                g_row(k, g.data());
            double prefix = 0.0;
            const unsigned char* exact = guess_.settled.data() + std::size_t(k) * r_;
            for (int t = 0; t < last; ++t) {
                const double err = c_g_ * std::min(rmax_[k] * csum_[t], cw_[t]) + underflow_;
                const double entry = std::fabs(gk[t]) + err;
                prefix += entry;
                if (!exact[t] && !((entry + tau_ * prefix) * final_widen < 1.0)) return false;
            }
        }
        return true;
    }

    // Sets bits to a b with |det X_P| < 2^b; false when that bound is not finite.
    //
    // det X_P = det H / det W (V is unit lower triangular, W upper), and |det H| is at most
    // the product of its rows' sums of absolute values, each <= 1 + r eps. The product of
    // the 1 / |W(j, j)| is kept as a mantissa in [0.5, 1) and an exponent. Its r roundings
    // (a relative 2r u at most) and those of the logarithms (a few u more) are far below
    // the one bit added.
    bool det_bits(long& bits_out) const {
        long exponent = 0;
        double mantissa = 1.0;
        for (int j = 0; j < r_; ++j) {
            int e = 0;
            const double f = std::frexp(std::fabs(row_of(w_.data(), r_, j)[j]), &e);  // |W(j, j)| = f 2^e
            int g = 0;
            mantissa = std::frexp(mantissa / f, &g);
            exponent += g - e;
        }
        const double bits = double(exponent) + std::log2(mantissa) + r_ * std::log1p(r_ * eps_) / std::log(2.0) * widen;
        if (!std::isfinite(bits)) return false;
        bits_out = long(std::ceil(bits)) + 1;
        return true;
    }

private:
    // The few sums and products that make the bounds are enlarged by this relative amount,
    // far above their own relative error (below r u).
    static constexpr double widen = 1.0 + 0x1p-20;
    // Rows of W, V and Hd made at once (see invert_u, invert_l, bound_h): each block of the
    // matrix they are made from serves that many rows.
    static constexpr int band = 64;
    // Rows from which the products of bound_h are taken on the seam of the per-prime
    // kernel, and the rows of each of its products there. Measured on 2 cores with
    // OpenBLAS, zerkint -d on n-by-n of [-9, 9], best of 9, own loops against the seam:
    // n = 150: 9.1 against 12.2 ms (the seam loads the BLAS on the thread); 200: 15.6
    // against 16.1; 300: 26.8 against 27.5; 400: 41.0 against 37.6; 700: 155 against 127;
    // 1000: 0.58 against 0.40 s (one thread: 0.88 against 0.57 s).
    static constexpr int seam_rows = 300;
    static constexpr int seam_band = 256;

    // Gd_P = fl(Xd_P W) by blocks (add_product).
    void products_g_p() {
        checked_buffer<double*> g_rows(r_);
        checked_buffer<const double*> x_rows(r_);
        for (int i = 0; i < r_; ++i) {
            g_rows[i] = row_of(g_p_.data(), r_, i);
            x_rows[i] = row_of(guess_.values.data(), r_, s_[i]);
        }
        add_product(
            g_rows.data(), r_, [&](int i, int l) { return x_rows[i][l]; }, w_.data(), std::size_t(r_), r_, r_, true,
            [](int) { return 0; }, [&](int) { return r_; });
    }

    // The same as matrix products on the seam of the per-prime kernel (a BLAS where one is
    // configured), seam_band rows at a time: Gd_P := 0 - (-Xd_P) W. The negation is exact
    // and the sums are of the same r products in some order, which the bounds allow.
    void products_g_p_on_seam() {
        checked_buffer<double> x(std::size_t(std::min(r_, seam_band)) * r_);
        for (int i0 = 0; i0 < r_; i0 += seam_band) {
            const int count = std::min(seam_band, r_ - i0);
            for (int i = 0; i < count; ++i) {
                const double* from = row_of(guess_.values.data(), r_, s_[i0 + i]);
                double* to = row_of(x.data(), r_, i);
                for (int c = 0; c < r_; ++c) to[c] = -from[c];
            }
            detail::gemm_subtract(count, r_, r_, x.data(), std::size_t(r_), w_.data(), std::size_t(r_),
                                  row_of(g_p_.data(), r_, i0), std::size_t(r_));
        }
    }

    // off := the largest |Hd - I|, Hd = fl(V Gd_P) a band of rows at a time by blocks
    // (add_product); false when an entry is not finite.
    bool off_identity(double& off) const {
        const int rows = std::min(r_, band);
        checked_buffer<double> h(std::size_t(rows) * r_);
        checked_buffer<double*> h_rows(rows);
        checked_buffer<const double*> v_rows(rows);
        for (int i0 = 0; i0 < r_; i0 += rows) {
            const int count = std::min(rows, r_ - i0);
            std::fill(h.data(), h.data() + std::size_t(count) * r_, 0.0);
            for (int i = 0; i < count; ++i) {
                h_rows[i] = row_of(h.data(), r_, i);
                v_rows[i] = row_of(v_.data(), r_, i0 + i);
            }
            add_product(
                h_rows.data(), count, [&](int i, int l) { return v_rows[i][l]; }, g_p_.data(), std::size_t(r_), r_, r_,
                false, [](int) { return 0; }, [&](int i) { return i0 + i + 1; });
            for (int i = 0; i < count; ++i) {
                double* hi = h_rows[i];
                hi[i0 + i] -= 1.0;
                if (!largest_magnitude(hi, off)) return false;
            }
        }
        return true;
    }

    // The same on the seam: -Hd := 0 - V Gd_P, seam_band rows at a time (the rows of V end
    // at its diagonal), then -Hd + I = -(Hd - I), rounded alike.
    bool off_identity_on_seam(double& off) const {
        checked_buffer<double> h(std::size_t(std::min(r_, seam_band)) * r_);
        for (int i0 = 0; i0 < r_; i0 += seam_band) {
            const int count = std::min(seam_band, r_ - i0);
            std::fill(h.data(), h.data() + std::size_t(count) * r_, 0.0);
            detail::gemm_subtract(count, r_, i0 + count, row_of(v_.data(), r_, i0), std::size_t(r_), g_p_.data(),
                                  std::size_t(r_), h.data(), std::size_t(r_));
            for (int i = 0; i < count; ++i) {
                double* hi = row_of(h.data(), r_, i);
                hi[i0 + i] += 1.0;
                if (!largest_magnitude(hi, off)) return false;
            }
        }
        return true;
    }

    // off := max(off, |row[c]|) over a row of r; false when an entry is not finite.
    bool largest_magnitude(const double* row, double& off) const {
        for (int c = 0; c < r_; ++c) {
            if (!std::isfinite(row[c])) return false;
            off = std::max(off, std::fabs(row[c]));
        }
        return true;
    }

    // Row k of Gd = fl(Xd W).
    void g_row(int k, double* g) const {
        const double* xk = row_of(guess_.values.data(), r_, k);
        std::fill(g, g + r_, 0.0);
        add_rows(
            g, 0, r_, [&](int l) { return xk[l]; }, [&](int l) { return row_of(w_.data(), r_, l); },
            [](int l) { return l; }, [&](int) { return r_; });
    }

    const pivot_guess& guess_;
    const bool on_seam_;  // the products of bound_h on the per-prime kernel's seam
    const int m_, r_;
    const double* lu_;
    const int* s_;
    const double gamma_;  // r u / (1 - r u)
    checked_buffer<double> w_, v_;
    double v_norm_ = 0.0;
    checked_buffer<double> csum_, cmax_, cw_, rmax_;
    double csum_max_ = 0.0, cw_max_ = 0.0;
    checked_buffer<double> g_p_;  // Gd_P
    const double c_g_;            // slightly above 2^-50 + gamma
    const double underflow_;      // r 2^-1070, for results below the normal range
    double eps_ = 0.0, tau_ = 0.0;
};

} // namespace

// The bound on |det X| alone, for a square X (P lists every row): det X = +-det X_P, and the
// bound of det_bits needs only |H - I| <= eps, which bound_h shows for any unit lower V and
// upper W in doubles, whatever the rows and factors of the guess. The margins of the
// search (multipliers_below_one) are not needed, nor are near ties settled.
bool bound_guessed_determinant(const pivot_guess& guess, long& bits, proof_products products) {
    if (guess.r <= 0 || guess.m != guess.r) return false;
    pivot_proof proof(guess, products);
    return proof.invert_u() && proof.invert_l() && proof.bound_products() && proof.bound_h() && proof.det_bits(bits);
}

bool prove_pivot_rows(const pivot_guess& guess, long* det_bits, proof_products products) {
    if (guess.r <= 0) return false;
    pivot_proof proof(guess, products);
    if (!proof.invert_u() || !proof.invert_l() || !proof.bound_products() || !proof.bound_h() ||
        !proof.multipliers_below_one())
        return false;
    return !det_bits || proof.det_bits(*det_bits);
}

} // namespace velmora
