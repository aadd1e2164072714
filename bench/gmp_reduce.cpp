// The two eliminations of zerk and zerkint written on GMP, as the yardstick for
// the benchmark table: the same pivot choice, the same row operations and the same
// det rules, so that the results are identical, with every shortcut GMP allows
// that leaves them so (zero factors skipped, det factors multiplied by a product
// tree at the end).
//   gmp_reduce zerk|zerkint <input
// reads "m n" and the entries of A (integers or fractions n/d) and prints what
// `zerk -l` or `zerkint -l` prints, up to and without the time section.
#include <gmpxx.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace {

template <class T>
using table = std::vector<std::vector<T>>;

template <class T>
table<T> read_matrix(std::istream& in, int& m, int& n) {
    in >> m >> n;
    table<T> a(m, std::vector<T>(n));
    std::string token;
    for (auto& row : a)
        for (auto& x : row) {
            in >> token;
            x.set_str(token, 10);
            if constexpr (std::is_same_v<T, mpq_class>) x.canonicalize();
        }
    return a;
}

template <class T>
table<T> identity(int m) {
    table<T> q(m, std::vector<T>(m, T(0)));
    for (int k = 0; k < m; ++k) q[k][k] = 1;
    return q;
}

// The row at or below i with the largest |B(k, j)|, the topmost among equals; -1 when
// all are zero.
template <class T>
int pivot_row(const table<T>& b, int i, int j) {
    int p = -1;
    T best(0);
    for (int k = i; k < static_cast<int>(b.size()); ++k) {
        const T a = abs(b[k][j]);
        if (a > best) {
            best = a;
            p = k;
        }
    }
    return p;
}

// Product of the factors by a balanced tree: the operands of each multiplication
// have about the same size.
mpz_class product(std::vector<mpz_class> f) {
    if (f.empty()) return 1;
    while (f.size() > 1) {
        std::size_t half = 0;
        for (std::size_t k = 0; k + 1 < f.size(); k += 2) f[half++] = f[k] * f[k + 1];
        if (f.size() % 2) f[half++] = f.back();
        f.resize(half);
    }
    return f[0];
}

template <class T>
void print_matrix(std::ostream& out, const table<T>& a, int cols) {
    out << a.size() << ' ' << cols << '\n';
    for (const auto& row : a) {
        for (const auto& x : row) out << x << '\t';
        out << '\n';
    }
}

template <class T, class Det>
void print_results(std::ostream& out, const table<T>& a, const table<T>& b, const table<T>& q,
                   int n, const std::vector<int>& basis, const Det& det) {
    out << "!a:\n";
    print_matrix(out, a, n);
    out << "!b:\n";
    print_matrix(out, b, n);
    out << "!q:\n";
    print_matrix(out, q, static_cast<int>(q.size()));
    out << "!rank =\n" << basis.size() << '\n';
    out << "!det =\n" << det << '\n';
    out << "!basis:\n" << basis.size() << '\n';
    for (int j : basis) out << j << '\t';
    out << "\n\n";
}

// row -= f * pivot_row over the entries where the pivot row is nonzero.
void subtract_multiple(std::vector<mpq_class>& row, const mpq_class& f, const std::vector<mpq_class>& pivot,
                       mpq_class& t) {
    for (std::size_t c = 0; c < row.size(); ++c) {
        if (sgn(pivot[c]) == 0) continue;
        mpq_mul(t.get_mpq_t(), f.get_mpq_t(), pivot[c].get_mpq_t());
        mpq_sub(row[c].get_mpq_t(), row[c].get_mpq_t(), t.get_mpq_t());
    }
}

void reduce_rational(std::istream& in, std::ostream& out) {
    int m = 0, n = 0;
    const table<mpq_class> a = read_matrix<mpq_class>(in, m, n);
    table<mpq_class> b = a, q = identity<mpq_class>(m);
    std::vector<int> basis;
    int sign = 1;
    bool negligible = false;
    std::vector<mpz_class> nums, dens;
    mpq_class t;
    int i = 0;
    for (int j = 0; i < m && j < n; ++j) {
        const int p = pivot_row(b, i, j);
        if (p < 0) {
            negligible = true;
            continue;
        }
        if (p != i) {
            std::swap(b[i], b[p]);
            std::swap(q[i], q[p]);
            sign = -sign;
        }
        const mpq_class pivot = b[i][j];
        for (auto* row : {&b[i], &q[i]})
            for (auto& x : *row)
                if (sgn(x) != 0) x /= pivot;
        nums.push_back(pivot.get_num());
        dens.push_back(pivot.get_den());
        for (int k = 0; k < m; ++k) {
            if (k == i || sgn(b[k][j]) == 0) continue;
            const mpq_class f = b[k][j];
            subtract_multiple(b[k], f, b[i], t);
            subtract_multiple(q[k], f, q[i], t);
        }
        basis.push_back(j);
        ++i;
    }
    mpq_class det(0);
    if (!negligible) {
        det = mpq_class(product(nums), product(dens));
        det.canonicalize();
        if (sign < 0) det = -det;
    }
    print_results(out, a, b, q, n, basis, det);
}

// gcd of every entry of both rows, stopping at 1.
mpz_class row_content(const std::vector<mpz_class>& b, const std::vector<mpz_class>& q) {
    mpz_class d = 0;
    for (const auto* row : {&b, &q})
        for (const auto& x : *row) {
            mpz_gcd(d.get_mpz_t(), d.get_mpz_t(), x.get_mpz_t());
            if (d == 1) return d;
        }
    return d;
}

// row = c * row + e * pivot.
void combine(std::vector<mpz_class>& row, const mpz_class& c, const mpz_class& e,
             const std::vector<mpz_class>& pivot) {
    for (std::size_t k = 0; k < row.size(); ++k) {
        mpz_mul(row[k].get_mpz_t(), row[k].get_mpz_t(), c.get_mpz_t());
        mpz_addmul(row[k].get_mpz_t(), e.get_mpz_t(), pivot[k].get_mpz_t());
    }
}

void reduce_integer(std::istream& in, std::ostream& out) {
    int m = 0, n = 0;
    const table<mpz_class> a = read_matrix<mpz_class>(in, m, n);
    table<mpz_class> b = a, q = identity<mpz_class>(m);
    std::vector<int> basis;
    int sign = 1;
    std::vector<mpz_class> det_factors, multipliers;
    mpz_class g, e, c;
    int i = 0;
    for (int j = 0; i < m && j < n; ++j) {
        const int p = pivot_row(b, i, j);
        if (p < 0) continue;
        if (p != i) {
            std::swap(b[i], b[p]);
            std::swap(q[i], q[p]);
            sign = -sign;
        }
        if (sgn(b[i][j]) < 0) {
            for (auto* row : {&b[i], &q[i]})
                for (auto& x : *row) mpz_neg(x.get_mpz_t(), x.get_mpz_t());
            sign = -sign;
        }
        const mpz_class v = b[i][j];
        for (int k = 0; k < m; ++k) {
            // A zero entry leaves the row as it is: every row is primitive already,
            // so its content is 1.
            if (k == i || sgn(b[k][j]) == 0) continue;
            mpz_gcd(g.get_mpz_t(), v.get_mpz_t(), b[k][j].get_mpz_t());
            mpz_divexact(e.get_mpz_t(), b[k][j].get_mpz_t(), g.get_mpz_t());
            mpz_neg(e.get_mpz_t(), e.get_mpz_t());
            mpz_divexact(c.get_mpz_t(), v.get_mpz_t(), g.get_mpz_t());
            combine(b[k], c, e, b[i]);
            combine(q[k], c, e, q[i]);
            if (c != 1) multipliers.push_back(c);
            const mpz_class d = row_content(b[k], q[k]);
            if (d != 1) {
                for (auto* row : {&b[k], &q[k]})
                    for (auto& x : *row) mpz_divexact(x.get_mpz_t(), x.get_mpz_t(), d.get_mpz_t());
                det_factors.push_back(d);
            }
        }
        basis.push_back(j);
        ++i;
    }
    mpz_class det = 0;
    if (i == m) {
        for (int k = 0; k < m; ++k) det_factors.push_back(b[k][basis[k]]);
        mpz_tdiv_q(det.get_mpz_t(), product(det_factors).get_mpz_t(), product(multipliers).get_mpz_t());
        if (sign < 0) det = -det;
    }
    print_results(out, a, b, q, n, basis, det);
}

} // namespace

int main(int argc, char** argv) {
    const std::string tool = argc > 1 ? argv[1] : "";
    if (tool != "zerk" && tool != "zerkint") {
        std::fprintf(stderr, "usage: gmp_reduce zerk|zerkint <input\n");
        return 2;
    }
    std::ios::sync_with_stdio(false);
    if (tool == "zerk")
        reduce_rational(std::cin, std::cout);
    else
        reduce_integer(std::cin, std::cout);
    return 0;
}
