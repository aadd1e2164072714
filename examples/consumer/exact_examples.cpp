// Exact results that machine numbers cannot give: a long factorial sum with
// big_int, and a harmonic number with rational<big_int>.
#include <velmora/bigint/big_int.hpp>
#include <velmora/rational/rational.hpp>

#include <iostream>

using velmora::big_int;
using velmora::rational;

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
static rational<big_int> harmonic(int n) {
    rational<big_int> sum;
    for (int k = 1; k <= n; ++k) sum = sum + rational<big_int>(big_int(1), big_int(k));
    return sum;
}

int main() {
    std::cout << "1! + 2! + ... + 30! = " << factorial_sum(30) << '\n';
    std::cout << "1/1 + 1/2 + ... + 1/30 = " << harmonic(30) << '\n';
    return std::cout ? 0 : 1;
}
