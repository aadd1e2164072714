#include "case_file.hpp"

#include <fstream>
#include <sstream>

namespace golden {

namespace {

std::vector<std::string> split_words(const std::string& s) {
    std::vector<std::string> words;
    std::size_t k = 0;
    while (k < s.size()) {
        while (k < s.size() && s[k] == ' ') ++k;
        if (k == s.size()) break;
        std::string word;
        if (s[k] == '"') {
            const std::size_t close = s.find('"', k + 1);
            word = s.substr(k + 1, close == std::string::npos ? std::string::npos : close - k - 1);
            k = close == std::string::npos ? s.size() : close + 1;
        } else {
            const std::size_t end = s.find(' ', k);
            word = s.substr(k, end == std::string::npos ? std::string::npos : end - k);
            k = end == std::string::npos ? s.size() : end;
        }
        words.push_back(word);
    }
    return words;
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string decode_escapes(const std::string& text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '\\' || k + 1 == text.size()) {
            out += text[k];
            continue;
        }
        const char c = text[++k];
        switch (c) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '0': out += '\0'; break;
        case 'x':
            if (k + 2 < text.size() && hex_value(text[k + 1]) >= 0 && hex_value(text[k + 2]) >= 0) {
                out += static_cast<char>(hex_value(text[k + 1]) * 16 + hex_value(text[k + 2]));
                k += 2;
            } else {
                out += "\\x";
            }
            break;
        default: out += c; break;
        }
    }
    return out;
}

std::vector<golden_case> parse_cases(const std::string& text, const std::string& source_root,
                                     std::string& error) {
    std::vector<golden_case> cases;
    std::istringstream lines(text);
    std::string line;
    int line_no = 0;
    golden_case* current = nullptr;
    std::string* section = nullptr;
    bool escaped = false, noeol = false;

    auto close_section = [&] {
        if (section) {
            if (escaped) {
                // Physical line ends separate escaped lines; only escapes make bytes.
                std::string joined;
                std::istringstream raw(*section);
                std::string part;
                while (std::getline(raw, part)) joined += part;
                *section = decode_escapes(joined);
            } else if (noeol && !section->empty() && section->back() == '\n') {
                section->pop_back();
            }
        }
        section = nullptr;
        escaped = noeol = false;
    };
    auto fail = [&](const std::string& why) {
        if (error.empty()) error = "line " + std::to_string(line_no) + ": " + why;
    };

    while (std::getline(lines, line)) {
        ++line_no;
        const bool had_newline = !lines.eof();
        if (line.rfind("@@", 0) != 0) {
            if (section) {
                *section += line;
                if (had_newline) *section += '\n';
            } else if (!line.empty() && line[0] != '#') {
                fail("text outside a section");
            }
            continue;
        }
        close_section();
        std::vector<std::string> words = split_words(line.substr(2));
        if (words.empty()) { fail("empty marker"); continue; }
        const std::string key = words[0];
        if (key == "case") {
            cases.push_back(golden_case{});
            current = &cases.back();
            current->name = words.size() > 1 ? words[1] : "unnamed";
            current->line = line_no;
            continue;
        }
        if (!current) { fail("marker outside a case"); continue; }
        if (key == "end") {
            current = nullptr;
        } else if (key == "run") {
            if (words.size() < 2) fail("run needs a program");
            else {
                current->program = words[1];
                current->args.assign(words.begin() + 2, words.end());
            }
        } else if (key == "status") {
            current->expected_status = words.size() > 1 ? std::stoi(words[1]) : 0;
        } else if (key == "stdin-file") {
            std::ifstream file(source_root + "/" + (words.size() > 1 ? words[1] : ""),
                               std::ios::binary);
            if (!file) fail("cannot read stdin file");
            std::ostringstream data;
            data << file.rdbuf();
            current->stdin_data = data.str();
        } else if (key == "stdin" || key == "stdout" || key == "stderr") {
            section = key == "stdin" ? &current->stdin_data
                    : key == "stdout" ? &current->expected_stdout : &current->expected_stderr;
            section->clear();
            for (std::size_t k = 1; k < words.size(); ++k) {
                if (words[k] == "escaped") escaped = true;
                else if (words[k] == "noeol") noeol = true;
                else fail("unknown section option " + words[k]);
            }
        } else {
            fail("unknown marker " + key);
        }
    }
    close_section();
    if (current) fail("case " + current->name + " has no @@ end");
    return cases;
}

} // namespace golden
