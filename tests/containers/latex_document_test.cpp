#include "containers/latex_document.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace velmora {
namespace {

std::string reports(const char* text) {
    std::ostringstream out;
    write_latex_reports(out, text);
    return out.str();
}

// Every character that LaTeX would read as a command, a group, math, an alignment, a
// parameter, a comment or a space is set as itself; < > | need math in LaTeX's text fonts.
TEST(LatexDocument, ReportsAreEscapedInTheirBox) {
    const std::string box = reports("matrix error: a\\b {c} $1 & #2 _3 %4 ^5 ~6 <7> |8\nnext line\n");
    const std::string body = box.substr(box.find("\\ttfamily ") + 10);
    EXPECT_EQ(body, "matrix error: a\\textbackslash{}b \\{c\\} \\$1 \\& \\#2 \\_3 \\%4 \\^{}5 \\~{}6 $<$7$>$ $|$8\\par\n"
                    "next line\\par\n}}\\par\\medskip\n");
    EXPECT_NE(box.find("\\fbox{"), std::string::npos);
    EXPECT_EQ(reports(""), "");
}

} // namespace
} // namespace velmora
