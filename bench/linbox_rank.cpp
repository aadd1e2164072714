// The rank of an integer matrix in the programs' input format by LinBox's dense elimination
// modulo one prime (not proven), for comparison with zerkint -r (benchmark only). The prime
// 1048573 (below 2^20) is the one of those tried (2^20, 2^22, 2^26) on which LinBox was fastest.
#include <linbox/linbox-config.h>
#include <givaro/modular.h>
#include <linbox/matrix/dense-matrix.h>
#include <linbox/solutions/rank.h>
#include <cstdio>
#include <cstdlib>
#include <iostream>
int main(int argc, char** argv) {
    long m, n;
    if (scanf("%ld %ld", &m, &n) != 2) return 1;
    typedef Givaro::Modular<double> Field;
    Field F(argc > 1 ? std::atol(argv[1]) : 1048573);
    LinBox::DenseMatrix<Field> A(F, m, n);
    for (long i = 0; i < m; ++i)
        for (long j = 0; j < n; ++j) {
            long v;
            if (scanf("%ld", &v) != 1) return 1;
            Field::Element e;
            F.init(e, v);
            A.setEntry(i, j, e);
        }
    size_t r;
    LinBox::rank(r, A, LinBox::Method::DenseElimination());
    std::cout << r << "\n";
}
