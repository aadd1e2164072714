#include "containers/latex_text.hpp"

#include "support/fixture.hpp"
#include "support/fraction.hpp"
#include "support/literals.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace velmora {
namespace {

using namespace testing_support;

class LatexTextTest : public containers_test {};

template <class C>
std::string latex(const C& c) {
    std::ostringstream out;
    output_latex(out, c);
    return out.str();
}

TEST_F(LatexTextTest, MatrixIsAnArrayWithOneRightAlignedColumnPerColumn) {
    EXPECT_EQ(latex(matrix_of(2, 2, {1, 2, 3, 4})),
              "\\left(\n\\begin{array}{rr} \n1\t & 2 \\\\ \n3\t & 4 \\\\ \n\\end{array}\n\\right) \n");
    EXPECT_EQ(latex(matrix_of<fraction>(1, 3, {fraction(-1, 2), fraction(3), fraction(0)})),
              "\\left(\n\\begin{array}{rrr} \n-1/2\t & 3\t & 0 \\\\ \n\\end{array}\n\\right) \n");
    EXPECT_EQ(latex(matrix<int>(2, 0)), "\\left(\n\\begin{array}{} \n \\\\ \n \\\\ \n\\end{array}\n\\right) \n");
    EXPECT_EQ(latex(matrix<int>()), "\\left(\n\\begin{array}{} \n\\end{array}\n\\right) \n");
}

TEST_F(LatexTextTest, PairIsOneArrayWithARuleBetweenTheTwoMatrices) {
    std::ostringstream out;
    output_latex_pair(out, matrix_of(2, 2, {1, 2, 3, 4}), matrix_of(2, 1, {5, 6}));
    EXPECT_EQ(out.str(), "\\left(\n\\begin{array}{rr|r} \n1\t & 2\t & 5 \\\\ \n3\t & 4\t & 6 \\\\ \n"
                         "\\end{array}\n\\right) \n");
    // Without columns on the left a row starts with the right's first entry: a
    // separator before it would make a cell more than the array has.
    out.str("");
    output_latex_pair(out, matrix<int>(2, 0), matrix_of(2, 2, {1, 0, 0, 1}));
    EXPECT_EQ(out.str(), "\\left(\n\\begin{array}{|rr} \n1\t & 0 \\\\ \n0\t & 1 \\\\ \n\\end{array}\n\\right) \n");
    out.str("");
    output_latex_pair(out, matrix<int>(0, 3), matrix<int>());
    EXPECT_EQ(out.str(), "\\left(\n\\begin{array}{rrr|} \n\\end{array}\n\\right) \n");
    EXPECT_EQ(matrix_status, 1);
}

TEST_F(LatexTextTest, VectorIsATransposedRow) {
    EXPECT_EQ(latex(vector_of({1, 2})), "\\left(1, & 2\\right) ^{\\rm T} \n");
    EXPECT_EQ(latex(vector_of({fraction(7, 3)})), "\\left(7/3\\right) ^{\\rm T} \n");
    EXPECT_EQ(latex(vector<int>()), "\\left(\\right) ^{\\rm T} \n");
    EXPECT_EQ(matrix_status, 1);
}

} // namespace
} // namespace velmora
