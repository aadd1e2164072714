// The texts in which the two programs differ; everything else they print is shared.
#pragma once

namespace velmora {

inline constexpr const char* velmora_version = "1.02";

struct tool_texts {
    const char* name;          // command name, as in "zerk -h"
    const char* display_name;  // name in the version line, as in "Zerk from Velmora"
    const char* banner;        // first usage line, 38 characters before its newline
    const char* purpose;       // fourth usage line
    const char* a_option;      // description of -a
    const char* d_option;      // description of -d
    const char* basis_shape;   // what the basis columns of B form
};

extern const tool_texts zerk_texts;
extern const tool_texts zerkint_texts;

} // namespace velmora
