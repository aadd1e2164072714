// The command line shared by both programs: option walk, usage and version texts.
#pragma once

#include "driver/tool_texts.hpp"

#include <ostream>

namespace velmora {

// The flags the option walk sets. The seven output flags choose the results;
// movie narrates the reduction; labels forces the label lines; utf8 draws the
// movie's frames in UTF-8; latex writes the movie and the results as a LaTeX document,
// and fragment makes it a fragment without preamble (latex is then set too).
struct run_flags {
    int a = 0, b = 0, q = 0, rank = 0, det = 0, basis = 0, time = 0;
    int movie = 0;
    int labels = 0;
    int utf8 = 0;
    int latex = 0;
    int fragment = 0;

    int output_count() const { return a + b + q + rank + det + basis + time; }
};

// How the walk ended: go on with the run, or stop with the given exit status.
enum class walk_end { run, stop_success, stop_failure };

// Writes the usage text of the tool to out.
void print_usage(const tool_texts& tool, std::ostream& out);

// Walks argv[1..argc-1] through the option table into flags. Help and version
// write their text to out and stop with success, or with failure when the text
// could not be written (a full device, a closed stream); an unknown argument writes
// its message and the help hint to out and stops with failure. When the walk
// completes with no output flag set, b is set.
walk_end walk_options(int argc, const char* const* argv, const tool_texts& tool,
                      run_flags& flags, std::ostream& out);

} // namespace velmora
