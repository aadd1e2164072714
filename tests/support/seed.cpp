#include "support/seed.hpp"

#include <cstdlib>

namespace velmora {

std::uint64_t seed_from_environment(std::uint64_t fallback) {
    const char* text = std::getenv("VELMORA_SEED");
    return text != nullptr && *text != '\0' ? std::strtoull(text, nullptr, 10) : fallback;
}

std::string seed_trace(std::uint64_t seed) { return "VELMORA_SEED=" + std::to_string(seed); }

} // namespace velmora
