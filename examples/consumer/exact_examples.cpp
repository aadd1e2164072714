// Exact results that machine numbers cannot give: a long factorial sum with
// big_int, a harmonic number with rational<big_int>, and the inverse and the
// determinant of a Hilbert matrix (notoriously ill-conditioned in floating
// point) by reduced_echelon on a matrix of rationals.
#include <velmora/bigint/big_int.hpp>
#include <velmora/containers/matrix.hpp>
#include <velmora/containers/text.hpp>
#include <velmora/rational/rational.hpp>
#include <velmora/reduce/reduced_echelon.hpp>

#include <iostream>

using velmora::big_int;
using velmora::matrix;
using velmora::rational;
using velmora::vector;

using fraction = rational<big_int>;

// 1! + 2! + ... + n!
static big_int factorial_sum(int n) {
    big_int term = 1, sum = 0;
    for (int k = 1; k <= n; ++k) {
        term = term * big_int(k);
        sum = sum + term;
    }
    return sum;
}

// 1/1 + 1/2 + ... + 1/n, in lowest terms.
static fraction harmonic(int n) {
    fraction sum;
    for (int k = 1; k <= n; ++k) sum = sum + fraction(big_int(1), big_int(k));
    return sum;
}

// The n-by-n matrix with entry 1/(i + j + 1) at row i, column j (from 0).
static matrix<fraction> hilbert(int n) {
    matrix<fraction> h(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) h(i, j) = fraction(big_int(1), big_int(i + j + 1));
    return h;
}

int main() {
    std::cout << "1! + 2! + ... + 30! = " << factorial_sum(30) << '\n';
    std::cout << "1/1 + 1/2 + ... + 1/30 = " << harmonic(30) << '\n';

    // B = Q * H with B the identity makes Q the inverse of H.
    const int order = 6;
    const matrix<fraction> h = hilbert(order);
    matrix<fraction> b, q;
    vector<int> basis;
    fraction det;
    velmora::reduced_echelon(h, b, q, basis, det, 0, std::cout);
    const bool identity = basis.size() == order && b == velmora::scalar_matrix<fraction>(1, order);
    std::cout << "Hilbert matrix of order " << order << ": rank " << basis.size()
              << ", reduced form " << (identity ? "the identity" : "NOT the identity")
              << ", determinant " << det << '\n';
    std::cout << "its inverse:\n" << q;
    return std::cout ? 0 : 1;
}
