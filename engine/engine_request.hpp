// What a run of the engine is asked for.
#pragma once

namespace velmora {

// The results a run prints, so that only those are computed. The rank is the size of
// basis; basis holds the pivot columns when `basis` is asked for (and whenever B or Q is).
struct engine_request {
    bool b = true, q = true, rank = true, det = true, basis = true;
};

} // namespace velmora
