#include "solver/thread_pool.h"

namespace {
// Checks of an atomic before sleeping: some tens of microseconds.
constexpr int kSpins = 4000;

inline void pause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}
}  // namespace

ThreadPool::ThreadPool(int threads) {
    for (int w = 1; w < threads; ++w) workers_.emplace_back([this, w] { work(w); });
}

ThreadPool::~ThreadPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

int ThreadPool::hardwareThreads() {
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void ThreadPool::takeTasks(int worker) {
    for (int i = next_.fetch_add(1); i < count_; i = next_.fetch_add(1)) (*task_)(i, worker);
}

void ThreadPool::run(int count, const Task& task) {
    // One task, or no other thread: no need to wake anyone.
    if (count <= 1 || workers_.empty()) {
        for (int i = 0; i < count; ++i) task(i, 0);
        return;
    }
    task_ = &task;
    count_ = count;
    next_.store(0);
    busy_.store(static_cast<int>(workers_.size()));
    {
        // Under the lock, so that a thread about to sleep sees the round.
        std::lock_guard<std::mutex> lock(mutex_);
        round_.fetch_add(1, std::memory_order_release);
    }
    wake_.notify_all();
    takeTasks(0);
    for (int spin = 0; spin < kSpins; ++spin) {
        if (busy_.load(std::memory_order_acquire) == 0) return;
        pause();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return busy_.load(std::memory_order_acquire) == 0; });
}

void ThreadPool::work(int worker) {
    uint64_t seen = 0;
    for (;;) {
        for (int spin = 0;
             spin < kSpins && round_.load(std::memory_order_acquire) == seen && !stopping_.load();
             ++spin)
            pause();
        if (round_.load(std::memory_order_acquire) == seen) {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stopping_.load() || round_.load() != seen; });
        }
        if (stopping_.load()) return;
        seen = round_.load(std::memory_order_acquire);
        takeTasks(worker);
        if (busy_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            std::lock_guard<std::mutex> lock(mutex_);
            done_.notify_one();
        }
    }
}
