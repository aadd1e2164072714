// The row operations of one elimination step in the usual notation of linear algebra,
// gathered while the step runs and written as one paragraph of the LaTeX document under
// the step's narration line. Rows are named R_k by their 0-based positions.
#pragma once

#include "bigint/big_int.hpp"
#include "bigint/text.hpp"
#include "containers/plain_text.hpp"
#include "diag/checked_text.hpp"
#include "rational/rational.hpp"

#include <ostream>

namespace velmora {

namespace detail {

// |x| in inline math; a long one may break after any digit.
inline void write_magnitude(std::ostream& out, const big_int& x) {
    checked_text digits;
    digits << (x < big_int(0) ? -x : x);
    constexpr std::size_t short_number = 12;
    if (digits.text().size() <= short_number) out << digits.text();
    else out << "\\breakable{" << digits.text() << '}';
}

// |num / den| as it stands, not brought to lowest terms: as \frac, or as num/den where a
// part is too long for a fraction on one line, so that it may break after any digit.
inline void write_magnitude(std::ostream& out, const big_int& num, const big_int& den) {
    const big_int one(1);
    if (den == one || den == -one) {
        write_magnitude(out, num);
        return;
    }
    checked_text n, d;
    n << (num < big_int(0) ? -num : num);
    d << (den < big_int(0) ? -den : den);
    constexpr std::size_t longest_part = 30;
    const bool linear = n.text().size() > longest_part || d.text().size() > longest_part;
    out << (linear ? "\\breakable{" : "\\frac{") << n.text() << (linear ? "}/\\breakable{" : "}{") << d.text()
        << '}';
}

inline void write_magnitude(std::ostream& out, const rational<big_int>& x) {
    write_magnitude(out, x.numerator, x.denominator);
}

inline void write_row(std::ostream& out, int k) {
    out << "R_{";
    write_count(out, k);
    out << '}';
}

} // namespace detail

class row_operations {
public:
    // R_i <-> R_p.
    void exchange(int i, int p) {
        begin();
        detail::write_row(ops_, i);
        ops_ << " \\leftrightarrow ";
        detail::write_row(ops_, p);
        end();
    }

    // R_i <- -R_i.
    void negate(int i) {
        assign(i);
        ops_ << '-';
        detail::write_row(ops_, i);
        end();
    }

    // R_i <- (1/v) R_i, for v not 0.
    void divide(int i, const rational<big_int>& v) {
        assign(i);
        // 1/v is den/num, written without arithmetic that could report.
        if ((v.numerator < big_int(0)) != (v.denominator < big_int(0))) ops_ << '-';
        detail::write_magnitude(ops_, v.denominator, v.numerator);
        ops_ << ' ';
        detail::write_row(ops_, i);
        end();
    }

    // R_k <- R_k - f R_i, for f not 0.
    void subtract(int k, const rational<big_int>& f, int i) {
        assign(k);
        detail::write_row(ops_, k);
        add_term(-f, i);
        end();
    }

    // R_k <- (c R_k + e R_i) / d, for c and d positive and e not 0; c = 1 and d = 1 are
    // left out.
    void combine(int k, const big_int& c, const big_int& e, int i, const big_int& d) {
        const big_int one(1);
        assign(k);
        if (d != one) ops_ << '(';
        if (c != one) {
            detail::write_magnitude(ops_, c);
            ops_ << ' ';
        }
        detail::write_row(ops_, k);
        add_term(rational<big_int>(e), i);
        if (d != one) {
            ops_ << ") / ";
            detail::write_magnitude(ops_, d);
        }
        end();
    }

    // Writes the gathered operations as one paragraph, if there are any, and forgets them.
    void write(std::ostream& out) {
        if (count_ == 0) return;
        out << ops_.text() << "\\par\n";
        ops_.restart();
        count_ = 0;
    }

private:
    void begin() { ops_ << (count_++ > 0 ? ";\\quad $" : "\\noindent $"); }
    void assign(int k) {
        begin();
        detail::write_row(ops_, k);
        ops_ << " \\leftarrow ";
    }
    void end() { ops_ << '$'; }
    // " + g R_i" or " - |g| R_i", the factor left out when it is 1.
    void add_term(const rational<big_int>& g, int i) {
        ops_ << (g.numerator < big_int(0) ? " - " : " + ");
        const big_int one(1);
        if (!(g.denominator == one && (g.numerator == one || g.numerator == -one))) {
            detail::write_magnitude(ops_, g);
            ops_ << ' ';
        }
        detail::write_row(ops_, i);
    }

    checked_text ops_;
    int count_ = 0;
};

} // namespace velmora
