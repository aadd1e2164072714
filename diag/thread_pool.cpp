#include "diag/thread_pool.hpp"

#include "diag/deferred_fatal.hpp"
#include "diag/report.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace velmora {

namespace {

constexpr int most_threads = 256;

// A hint to the processor that the thread is waiting in a loop.
inline void pause_briefly() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

int count_from_environment() {
    if (const char* text = std::getenv("VELMORA_THREADS")) {
        char* end = nullptr;
        const long n = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && n >= 1) return int(std::min<long>(n, most_threads));
    }
    const unsigned hardware = std::thread::hardware_concurrency();
    return hardware == 0 ? 1 : int(std::min<unsigned>(hardware, most_threads));
}

std::atomic<int> chosen_count{0};

// How long a thread that waits for the pool polls before it sleeps. A sleeping thread is
// woken some 60 microseconds after it is signalled, and a factorisation that spreads its
// products hands thousands of jobs to the pool with short serial steps between them: the
// polling thread takes the next job, or sees the last call end, at once. Bounded, so that
// a thread with nothing to do soon stops using its core.
constexpr auto poll_before_sleeping = std::chrono::microseconds(300);

// Polls done() until it holds or the time above has passed; true when it holds.
template <class Done>
bool poll_for(Done done) {
    const auto until = std::chrono::steady_clock::now() + poll_before_sleeping;
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (done()) return true;
            pause_briefly();
        }
        if (std::chrono::steady_clock::now() >= until) return done();
    }
}

// Workers started once and kept for the process; each runs the calls of the current job
// that it takes from a shared counter, so that a slow call does not hold up the others.
class pool {
public:
    ~pool() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_.store(true);
        }
        start_.notify_all();
        for (std::thread& t : workers_) t.join();
    }

    void run(std::size_t count, void (*task)(void*, std::size_t), void* context, int threads) {
        std::unique_lock<std::mutex> lock(mutex_);
        grow(threads - 1);
        task_ = task;
        context_ = context;
        count_ = count;
        next_.store(0);
        cancelled_.store(false);
        helpers_ = std::min<int>(threads - 1, int(workers_.size()));
        busy_.store(helpers_);
        generation_.fetch_add(1);
        lock.unlock();
        start_.notify_all();
        work();
        // The helpers count busy_ down under the lock: taking it after seeing 0 makes their
        // writes visible here.
        poll_for([&] { return busy_.load(std::memory_order_relaxed) == 0; });
        lock.lock();
        done_.wait(lock, [&] { return busy_.load() == 0; });
        task_ = nullptr;
        const std::exception_ptr error = error_;
        const bool fatal = fatal_pending_;
        const deferred_fatal report = fatal_;
        error_ = nullptr;
        fatal_pending_ = false;
        lock.unlock();
        if (fatal) make_deferred_report(report);
        if (error) std::rethrow_exception(error);
    }

private:
    // Starts workers until there are n (or the system refuses more).
    void grow(int n) {
        while (int(workers_.size()) < n) {
            try {
                const int id = int(workers_.size());
                workers_.emplace_back([this, id] { serve(id); });
            } catch (...) {
                return;
            }
        }
    }

    void serve(int id) {
        std::uint64_t seen = 0;
        for (;;) {
            poll_for([&] { return stopping_.load(std::memory_order_relaxed) || generation_.load(std::memory_order_relaxed) != seen; });
            std::unique_lock<std::mutex> lock(mutex_);
            start_.wait(lock, [&] { return stopping_.load() || (generation_.load() != seen && id < helpers_); });
            if (stopping_.load()) return;
            seen = generation_.load();
            lock.unlock();
            work();
            lock.lock();
            if (busy_.fetch_sub(1) == 1) done_.notify_all();
        }
    }

    // Takes calls until none is left (or a call failed), on any thread of the job.
    void work() {
        const bool was_deferring = defer_fatal_reports;
        defer_fatal_reports = true;
        for (;;) {
            if (cancelled_.load(std::memory_order_relaxed)) break;
            const std::size_t i = next_.fetch_add(1);
            if (i >= count_) break;
            try {
                task_(context_, i);
            } catch (const deferred_fatal& report) {
                keep_fatal(report);
            } catch (const std::bad_alloc&) {
                keep_fatal(deferred_fatal{fatal_group::big_arith, 0, heap_overflow_message});
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!error_ && !fatal_pending_) error_ = std::current_exception();
                cancelled_.store(true);
            }
        }
        defer_fatal_reports = was_deferring;
    }

    void keep_fatal(const deferred_fatal& report) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!fatal_pending_) {
            fatal_pending_ = true;
            fatal_ = report;
        }
        cancelled_.store(true);
    }

    std::mutex mutex_;
    std::condition_variable start_, done_;
    std::vector<std::thread> workers_;
    // Written under mutex_; atomic so that a polling thread may read them without it.
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> generation_{0};
    std::atomic<int> busy_{0};
    int helpers_ = 0;
    void (*task_)(void*, std::size_t) = nullptr;
    void* context_ = nullptr;
    std::size_t count_ = 0;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> cancelled_{false};
    bool fatal_pending_ = false;
    deferred_fatal fatal_{};
    std::exception_ptr error_;
};

pool& the_pool() {
    static pool p;
    return p;
}

} // namespace

int thread_count() {
    int n = chosen_count.load(std::memory_order_relaxed);
    if (n == 0) {
        n = count_from_environment();
        chosen_count.store(n, std::memory_order_relaxed);
    }
    return n;
}

void set_thread_count(int n) { chosen_count.store(std::max(1, std::min(n, most_threads))); }

namespace detail {

void run_parallel(std::size_t count, void (*task)(void*, std::size_t), void* context) {
    // A call made from inside a parallel region runs its own calls where it stands.
    if (defer_fatal_reports) {
        for (std::size_t i = 0; i < count; ++i) task(context, i);
        return;
    }
    the_pool().run(count, task, context, thread_count());
}

} // namespace detail

} // namespace velmora
