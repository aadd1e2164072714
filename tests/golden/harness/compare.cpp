#include "compare.hpp"

#include <cstdio>

namespace golden {

namespace {

const std::string time_token = "{{time}}";

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string excerpt(const std::string& s, std::size_t line_start) {
    std::size_t end = s.find('\n', line_start);
    end = end == std::string::npos ? s.size() : end + 1;
    if (end - line_start > 160) end = line_start + 160;
    return escape_bytes(s.substr(line_start, end - line_start));
}

} // namespace

std::string escape_bytes(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\\': out += "\\\\"; break;
        default:
            if (c >= 0x20 && c < 0x7f) {
                out += static_cast<char>(c);
            } else {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                out += buf;
            }
        }
    }
    return out;
}

std::string first_difference(const std::string& expected, const std::string& actual) {
    std::size_t e = 0, a = 0;
    std::size_t line = 1, line_start_e = 0, line_start_a = 0;
    while (true) {
        if (expected.compare(e, time_token.size(), time_token) == 0) {
            const std::size_t digits_start = a;
            while (a < actual.size() && is_digit(actual[a])) ++a;
            if (a > digits_start) {
                e += time_token.size();
                continue;
            }
        } else if (e < expected.size() && a < actual.size() && expected[e] == actual[a]) {
            if (expected[e] == '\n') {
                ++line;
                line_start_e = e + 1;
                line_start_a = a + 1;
            }
            ++e;
            ++a;
            continue;
        }
        if (e == expected.size() && a == actual.size()) return {};
        std::string report = "first difference at byte " + std::to_string(a) + ", line " +
                             std::to_string(line) + ", column " +
                             std::to_string(a - line_start_a + 1) + "\n";
        report += "  expected: " + (e == expected.size() ? std::string("<end of output>")
                                                          : excerpt(expected, line_start_e)) + "\n";
        report += "  actual:   " + (a == actual.size() && line_start_a == actual.size()
                                        ? std::string("<end of output>")
                                        : excerpt(actual, line_start_a)) + "\n";
        return report;
    }
}

} // namespace golden
