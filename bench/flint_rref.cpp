// FLINT's reduced row echelon form of [A | I] or of A, or its determinant, for comparison
// with the programs (benchmark only). Reads A in the programs' input format from standard
// input and prints the rank (or the determinant's bit count) and the seconds taken:
//   flint_rref zerk [A]     fmpq_mat_rref on the rational matrix [A | I] (on A with "A")
//   flint_rref zerkint [A]  fmpz_mat_rref on the integer matrix [A | I] (on A with "A")
//   flint_rref det          fmpz_mat_det of the square integer matrix A
//   flint_rref rank         fmpz_mat_rank of the integer matrix A
#include <flint/fmpq_mat.h>
#include <flint/fmpz_mat.h>
#include <gmp.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const bool det = argc == 2 && std::strcmp(argv[1], "det") == 0;
    const bool rank_only = argc == 2 && std::strcmp(argv[1], "rank") == 0;
    if (!det && !rank_only && (argc < 2 || argc > 3 || (std::strcmp(argv[1], "zerk") != 0 && std::strcmp(argv[1], "zerkint") != 0) ||
                 (argc == 3 && std::strcmp(argv[2], "A") != 0))) {
        std::fprintf(stderr, "usage: flint_rref zerk|zerkint [A] < matrix, or flint_rref det|rank < matrix\n");
        return 2;
    }
    const bool rational = std::strcmp(argv[1], "zerk") == 0;
    const long identity = det || rank_only || argc == 3 ? 0 : 1;  // columns of I beside A
    long m = 0, n = 0;
    if (!(std::cin >> m >> n) || m < 0 || n < 0) {
        std::fprintf(stderr, "flint_rref: no matrix size\n");
        return 1;
    }
    fmpq_mat_t a;
    fmpq_mat_init(a, m, n + identity * m);
    mpq_t x;
    mpq_init(x);
    std::string text;
    for (long i = 0; i < m; ++i) {
        for (long j = 0; j < n; ++j) {
            if (!(std::cin >> text) || mpq_set_str(x, text.c_str(), 10) != 0) {
                std::fprintf(stderr, "flint_rref: bad entry (%ld, %ld)\n", i, j);
                return 1;
            }
            mpq_canonicalize(x);
            fmpq_set_mpq(fmpq_mat_entry(a, i, j), x);
        }
        if (identity) fmpq_set_si(fmpq_mat_entry(a, i, n + i), 1, 1);
    }
    mpq_clear(x);
    long rank = 0;
    const auto start = std::chrono::steady_clock::now();
    if (det) {
        fmpz_mat_t z;
        fmpz_mat_init(z, m, n);
        fmpq_mat_get_fmpz_mat_rowwise(z, nullptr, a);
        fmpz_t d;
        fmpz_init(d);
        fmpz_mat_det(d, z);
        rank = long(fmpz_bits(d));
        fmpz_clear(d);
        fmpz_mat_clear(z);
    } else if (rank_only) {
        fmpz_mat_t z;
        fmpz_mat_init(z, m, n);
        fmpq_mat_get_fmpz_mat_rowwise(z, nullptr, a);
        rank = fmpz_mat_rank(z);
        fmpz_mat_clear(z);
    } else if (rational) {
        fmpq_mat_t r;
        fmpq_mat_init(r, m, n + identity * m);
        rank = fmpq_mat_rref(r, a);
        fmpq_mat_clear(r);
    } else {
        fmpz_mat_t z, r;
        fmpz_mat_init(z, m, n + identity * m);
        fmpz_mat_init(r, m, n + identity * m);
        fmpz_t den;
        fmpz_init(den);
        fmpq_mat_get_fmpz_mat_rowwise(z, nullptr, a);
        rank = fmpz_mat_rref(r, den, z);
        fmpz_clear(den);
        fmpz_mat_clear(r);
        fmpz_mat_clear(z);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s %ld seconds %.4f\n", det ? "bits" : "rank", rank, seconds);
    fmpq_mat_clear(a);
    return 0;
}
