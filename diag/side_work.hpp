// Work that a caller hands to a computation to run beside its own, on a second thread
// where the computation leaves one free.
#pragma once

namespace velmora {

// A call that may run beside another computation: run(context), when run is set.
struct side_work {
    void (*run)(void*) = nullptr;
    void* context = nullptr;
    // When set: once run has returned, *det_bits is b >= 0 when the work has found
    // |det A| < 2^b for the matrix A of the computation it runs beside, else -1.
    const long* det_bits = nullptr;
    void operator()() const {
        if (run) run(context);
    }
    long bound() const { return det_bits ? *det_bits : -1; }
};

} // namespace velmora
