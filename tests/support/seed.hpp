// Seeds of the randomized tests: each test has a fixed default, and VELMORA_SEED reruns
// the seed that a failure printed.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// VELMORA_SEED from the environment when it is set, else the test's own fallback.
std::uint64_t seed_from_environment(std::uint64_t fallback);

// "VELMORA_SEED=<seed>", for the trace that a failing randomized test prints.
std::string seed_trace(std::uint64_t seed);

} // namespace velmora
