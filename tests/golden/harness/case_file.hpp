// Golden case files: a topic file holds many cases, each naming a program, its
// arguments, its standard input and the expected outputs and exit status.
//
//   # a comment (outside a case)
//   @@ case <name>
//   @@ run <program> [arguments...]     arguments split at blanks; "..." keeps blanks
//   @@ status <n>
//   @@ stdin [escaped] [noeol]           then the content lines
//   @@ stdin-file <path>                 relative to the source root
//   @@ stdout [escaped] [noeol]
//   @@ stderr [escaped] [noeol]
//   @@ end
//
// Content is every line up to the next "@@" line, byte for byte. "noeol" drops
// the final line end; "escaped" decodes \\ \n \r \t \0 and \xHH in the lines.
// In expected output, {{time}} matches one or more decimal digits.
#pragma once

#include <string>
#include <vector>

namespace golden {

struct golden_case {
    std::string name;
    std::string program;
    std::vector<std::string> args;
    std::string stdin_data;
    std::string expected_stdout;
    std::string expected_stderr;
    int expected_status = 0;
    int line = 0;  // line of the "@@ case" marker, for messages
};

// Parses a topic file; on a malformed file sets error and returns what it had.
std::vector<golden_case> parse_cases(const std::string& text, const std::string& source_root,
                                     std::string& error);

// Decodes the escapes of an "escaped" section.
std::string decode_escapes(const std::string& text);

} // namespace golden
