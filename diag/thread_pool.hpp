// The threads that share independent pieces of work: images modulo different primes,
// blocks of values to reconstruct, texts of entries. Their number comes from the
// environment variable VELMORA_THREADS (a positive count; default: the hardware's
// concurrency); at 1 everything runs on the calling thread, exactly as without threads.
#pragma once

#include <cstddef>
#include <type_traits>

namespace velmora {

// The number of threads work is spread over, the calling thread included (>= 1), read
// from the environment when first asked for.
int thread_count();

// Sets the count for the rest of the process (tests; n >= 1), overriding the environment.
void set_thread_count(int n);

namespace detail {
void run_parallel(std::size_t count, void (*task)(void*, std::size_t), void* context);
}

// Calls task(i) for every i in [0, count), spread over the threads, and returns when all
// calls have returned. The calls must be independent of each other's order: each writes
// only what belongs to its own i. A fatal report made in another thread is carried to
// the calling thread and made there once every call has stopped, so that it writes and
// ends the process as it does without threads; the calls not yet begun are then skipped.
template <class Task>
void parallel_for(std::size_t count, Task&& task) {
    if (count == 0) return;
    if (count == 1 || thread_count() == 1) {
        for (std::size_t i = 0; i < count; ++i) task(i);
        return;
    }
    using callable = std::remove_reference_t<Task>;
    detail::run_parallel(
        count, [](void* context, std::size_t i) { (*static_cast<callable*>(context))(i); },
        const_cast<void*>(static_cast<const void*>(&task)));
}

} // namespace velmora
