#include "driver/options.hpp"

#include <string_view>

namespace velmora {

void print_usage(const tool_texts& tool, std::ostream& out) {
    out << tool.banner
        << "  Exact Gauss-Jordan elimination, by the Velmora developers\n"
        << "This is a part of Velmora " << velmora_version << '\n'
        << tool.purpose
        << "Usage:\n"
        << "  " << tool.name << " options <input >output\n"
        << "Options:\n"
        << tool.a_option
        << " -b or -B:\t outputs the reduced echelon form B of A (default)\n"
        << " -q or -Q:\t outputs Q such that B = Q * A\n"
        << " -t or --time:\t outputs time\n"
        << " -r or --rank:\t outputs rank of A = rank of B\n"
        << tool.d_option
        << " -i or --basis:\t outputs basis such that\n"
        << "   B.sumbatrix(mesh_grid(1,r), basis)" << tool.basis_shape
        << " -l or --all:\t prints all above\n"
        << " -m or --movie:\t prints intermidiate tables and comments\n"
        << " -s:\t not suppresses special outputs\n"
        << " -v or --version:\t prints version\n"
        << " -? or -h or --help:\t prints this message\n"
        << "Examples:\n"
        << " " << tool.name << " --all --movie <a.in >a.out\n"
        << " " << tool.name << " <a.in >a.out\n";
}

namespace {

// Help and version succeed only when their text reached its destination.
walk_end stop_after_text(std::ostream& out) {
    out.flush();
    return out ? walk_end::stop_success : walk_end::stop_failure;
}

} // namespace

walk_end walk_options(int argc, const char* const* argv, const tool_texts& tool,
                      run_flags& flags, std::ostream& out) {
    flags = run_flags{};
    for (int k = 1; k < argc; ++k) {
        const std::string_view arg = argv[k];
        if (arg == "-a" || arg == "-A") {
            flags.a = 1;
        } else if (arg == "-b" || arg == "-B") {
            flags.b = 1;
        } else if (arg == "-q" || arg == "-Q") {
            flags.q = 1;
        } else if (arg == "-r" || arg == "--rank") {
            flags.rank = 1;
        } else if (arg == "-d" || arg == "--det") {
            flags.det = 1;
        } else if (arg == "-i" || arg == "--basis") {
            flags.basis = 1;
        } else if (arg == "-t" || arg == "--time") {
            flags.time = 1;
        } else if (arg == "-h" || arg == "-?" || arg == "--help") {
            print_usage(tool, out);
            return stop_after_text(out);
        } else if (arg == "-v" || arg == "--version") {
            out << tool.display_name << " from Velmora " << velmora_version << '\n';
            return stop_after_text(out);
        } else if (arg == "-l" || arg == "--all") {
            flags.a = flags.b = flags.q = flags.rank = flags.det = flags.basis = flags.time = 1;
        } else if (arg == "-m" || arg == "--movie") {
            flags.movie = 1;
        } else if (arg == "-s") {
            flags.labels = 1;
        } else if (arg == "--utf8") {
            flags.utf8 = 1;
        } else if (arg == "--latex") {
            flags.latex = 1;
        } else if (arg == "--latex-fragment") {
            flags.latex = flags.fragment = 1;
        } else {
            // A mistyped option must not pass for a good run in a script.
            out << "Unknown argument: " << arg << '\n'
                << "For help type " << tool.name << " -h \n";
            return walk_end::stop_failure;
        }
    }
    if (flags.output_count() == 0) flags.b = 1;
    return walk_end::run;
}

} // namespace velmora
