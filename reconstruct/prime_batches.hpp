// Images of one matrix modulo consecutive primes of the engine's sequence, made a batch
// at a time over the threads (one prime per thread) and handed out in the order of the
// primes: every decision taken on them is the one taken one prime at a time, whatever the
// number of threads. The first batch is one prime, which often settles the matter; with
// one thread every batch is one prime.
#pragma once

#include "diag/allocation.hpp"
#include "diag/checked_buffer.hpp"
#include "diag/report.hpp"
#include "diag/thread_pool.hpp"
#include "modular/prime_source.hpp"

#include <cstdint>

namespace velmora {

// Image: a type built by make() (its buffers sized for the matrix) that fill(image, k)
// sets to the image modulo engine_prime(k).
template <class Image, class Make, class Fill>
class prime_batches {
public:
    prime_batches(Make make, Fill fill) : make_(make), fill_(fill), images_(thread_count()) {
        for (std::size_t b = 0; b < images_.size(); ++b) images_[b] = nullptr;
    }
    prime_batches(const prime_batches&) = delete;
    prime_batches& operator=(const prime_batches&) = delete;
    ~prime_batches() {
        for (std::size_t b = 0; b < images_.size(); ++b) delete images_[b];
    }

    // The image modulo the next prime of the sequence, valid until the next call.
    Image& next() {
        if (index_ == first_ + made_) {
            first_ = index_;
            made_ = first_ == 0 ? 1 : int(images_.size());
            for (int b = 0; b < made_; ++b)
                if (!images_[b]) {
                    images_[b] = make_();
                    if (!images_[b]) heap_overflow();
                }
            parallel_for(std::size_t(made_), [&](std::size_t b) { fill_(*images_[b], first_ + int(b)); });
        }
        return *images_[index_++ - first_];
    }

private:
    Make make_;
    Fill fill_;
    checked_buffer<Image*> images_;
    int first_ = 0, made_ = 0, index_ = 0;  // images_[b] holds prime first_ + b, b < made_
};

template <class Image, class Make, class Fill>
prime_batches<Image, Make, Fill> make_prime_batches(Make make, Fill fill) {
    return prime_batches<Image, Make, Fill>(make, fill);
}

} // namespace velmora
