// The row operations that both reductions narrate in LaTeX, replayed: applied to each
// table of the movie in the order written, they give the next table, and the pivot is boxed
// at its place. Rerun one seed with VELMORA_SEED=<n>.
#include "bigint/big_int.hpp"
#include "containers/narration.hpp"
#include "diag/testing.hpp"
#include "rational/rational.hpp"
#include "reduce/reduced_echelon.hpp"
#include "reduce/reduced_echelon_int.hpp"
#include "support/random_matrix.hpp"
#include "support/seed.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace velmora {
namespace {

using number = rational<big_int>;
using rows = std::vector<std::vector<number>>;

number parse_number(const std::string& text) {
    static const std::regex fraction(R"((-?)\\dfrac\{(\d+)\}\{(\d+)\})");
    std::smatch m;
    if (std::regex_match(text, m, fraction))
        return number(big_int((m[1].str() + m[2].str()).c_str()), big_int(m[3].str().c_str()));
    return number(big_int(text.c_str()));
}

// A table of the document: its rows of B and Q joined, and where its entry is boxed.
struct table {
    rows entries;
    int boxed_row = -1, boxed_col = -1;
};

// The rows of a table, read after its line "$\left(\begin{array}{...}".
table parse_table(std::istream& in) {
    table t;
    std::string line;
    while (std::getline(in, line) && line.rfind("\\end{array}", 0) != 0) {
        line = line.substr(0, line.rfind(" \\\\"));
        std::vector<number> row;
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = line.find(" & ", start);
            std::string cell = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (cell.rfind("\\boxed{", 0) == 0) {
                cell = cell.substr(7, cell.size() - 8);
                t.boxed_row = int(t.entries.size());
                t.boxed_col = int(row.size());
            }
            row.push_back(parse_number(cell));
            if (end == std::string::npos) break;
            start = end + 3;
        }
        t.entries.push_back(row);
    }
    std::getline(in, line);  // \end{center}
    return t;
}

// Applies one operation "R_{k} \leftarrow ..." or "R_{i} \leftrightarrow R_{p}" to t.
void apply(rows& t, std::string op) {
    op = std::regex_replace(op, std::regex(R"(\\breakable\{([^}]*)\})"), "$1");
    std::smatch m;
    if (std::regex_match(op, m, std::regex(R"(R_\{(\d+)\} \\leftrightarrow R_\{(\d+)\})"))) {
        std::swap(t[std::stoul(m[1])], t[std::stoul(m[2])]);
        return;
    }
    ASSERT_TRUE(std::regex_match(op, m, std::regex(R"(R_\{(\d+)\} \\leftarrow (.*))"))) << op;
    const std::size_t target = std::stoul(m[1]);
    std::string rhs = m[2];
    number divisor(1);
    if (std::regex_match(rhs, m, std::regex(R"(\((.*)\) / (\d+))"))) {
        divisor = number(big_int(m[2].str().c_str()));
        rhs = m[1];
    }
    std::vector<number> result(t[target].size(), number(0));
    static const std::regex term(R"((^-|^| [+-] )(?:(\d+|\\frac\{\d+\}\{\d+\}) )?R_\{(\d+)\})");
    std::size_t consumed = 0;
    for (std::sregex_iterator it(rhs.begin(), rhs.end(), term), end; it != end; ++it) {
        const std::smatch& t_m = *it;
        ASSERT_EQ(std::size_t(t_m.position()), consumed) << op;
        consumed += t_m.length();
        number factor(1);
        if (t_m[2].matched) {
            std::smatch f;
            const std::string text = t_m[2];
            factor = std::regex_match(text, f, std::regex(R"(\\frac\{(\d+)\}\{(\d+)\})"))
                         ? number(big_int(f[1].str().c_str()), big_int(f[2].str().c_str()))
                         : number(big_int(text.c_str()));
        }
        if (t_m[1].str().find('-') != std::string::npos) factor = -factor;
        const std::vector<number> source = t[std::stoul(t_m[3])];
        for (std::size_t c = 0; c < result.size(); ++c) result[c] = result[c] + factor * source[c];
    }
    ASSERT_EQ(consumed, rhs.size()) << op;
    for (std::size_t c = 0; c < result.size(); ++c) t[target][c] = result[c] / divisor;
}

// Replays the movie: every table after the first is the one before it with the operations
// written since applied, and a boxed entry sits at (i, j) for the i-th pivot in column j.
void replay(const std::string& movie) {
    std::istringstream in(movie);
    std::string line;
    rows current;
    bool first = true;
    int pivots = 0, pivot_col = -1;
    // A table wider than a line comes in column blocks, joined here again (these tables
    // are too short for row blocks).
    int parts = 1;
    while (std::getline(in, line)) {
        if (line.rfind("This table is too large", 0) == 0) parts = std::stoi(line.substr(line.find(" in ") + 4));
        if (line.rfind("Pivot item: (", 0) == 0) pivot_col = std::stoi(line.substr(line.find(", ") + 2));
        if (line.rfind("\\noindent $", 0) == 0) {
            for (std::size_t at = 0; (at = line.find('$', at)) != std::string::npos;) {
                const std::size_t close = line.find('$', at + 1);
                apply(current, line.substr(at + 1, close - at - 1));
                at = close + 1;
            }
        }
        if (line.rfind("\\begin{center}", 0) == 0) {
            std::getline(in, line);  // the array's opening, with its column letters
            table t = parse_table(in);
            for (; parts > 1; --parts) {
                std::getline(in, line);
                std::getline(in, line);
                const table block = parse_table(in);
                if (block.boxed_row >= 0) {
                    t.boxed_row = block.boxed_row;
                    t.boxed_col = block.boxed_col + int(t.entries[0].size());
                }
                for (std::size_t i = 0; i < t.entries.size(); ++i)
                    t.entries[i].insert(t.entries[i].end(), block.entries[i].begin(), block.entries[i].end());
            }
            if (!first) {
                EXPECT_TRUE(t.entries == current) << "table before line " << line << "\n" << movie;
            }
            if (t.boxed_row >= 0) {
                EXPECT_EQ(t.boxed_row, pivots);
                EXPECT_EQ(t.boxed_col, pivot_col);
            }
            current = t.entries;
            first = false;
        }
        if (line.rfind("Elimination in column", 0) == 0) ++pivots;
    }
    EXPECT_FALSE(first) << "no table in\n" << movie;
}

TEST(NarratedRowOperations, ReplayedOnEachTableGiveTheNext) {
    reset_diagnostics();
    const unsigned base = static_cast<unsigned>(seed_from_environment(20261208));
    const int runs = std::getenv("VELMORA_SEED") ? 1 : 60;
    for (int run = 0; run < runs; ++run) {
        const unsigned seed = base + run;
        std::mt19937 gen(seed);
        std::uniform_int_distribution<int> size(1, 5);
        const int m = size(gen), n = size(gen);
        const matrix<big_int> A = testing::random_matrix(gen, m, n, run % 2 == 0 ? 3 : 40, 30);
        SCOPED_TRACE(seed_trace(seed));
        matrix<number> rational_A(m, n);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < n; ++j) rational_A(i, j) = number(A(i, j), big_int(j + 1));

        std::ostringstream integer_movie, rational_movie;
        set_narration_style(integer_movie, narration_style::latex);
        set_narration_style(rational_movie, narration_style::latex);
        matrix<big_int> B, Q;
        matrix<number> rational_B, rational_Q;
        vector<int> basis;
        big_int det;
        number rational_det;
        reduced_echelon_int(A, B, Q, basis, det, 1, integer_movie);
        reduced_echelon(rational_A, rational_B, rational_Q, basis, rational_det, 1, rational_movie);
        replay(integer_movie.str());
        replay(rational_movie.str());
    }
}

} // namespace
} // namespace velmora
