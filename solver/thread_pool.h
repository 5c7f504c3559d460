#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A fixed set of threads that run numbered tasks: run(count, task) calls
// task(index, worker) once for every index in [0, count), on the calling
// thread (worker 0) and the pool's own (workers 1 .. threads − 1), and
// returns when all are done. Which worker runs which task is left to chance:
// callers whose results must not depend on the number of threads keep each
// task's results apart and combine them in task order.
//
// An iteration hands the pool a dozen rounds in quick succession, so the
// threads watch for the next round (or the end of one) for a few tens of
// microseconds before they go to sleep on a condition variable: waking a
// sleeping thread can take longer than a small round.
class ThreadPool {
  public:
    using Task = std::function<void(int index, int worker)>;

    explicit ThreadPool(int threads);
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    // The processor's cores, at least 1.
    static int hardwareThreads();

    int threads() const { return static_cast<int>(workers_.size()) + 1; }
    void run(int count, const Task& task);

    // Items per chunk of a sweep over the patches or the vertices: enough
    // work to outweigh handing a chunk to a thread.
    static constexpr size_t kSweepChunk = 1024;

    // Calls work(first, end) for the ranges [0, chunk), [chunk, 2·chunk), …
    // of [0, size), each once, in parallel.
    template <class Work>
    void forChunks(size_t size, size_t chunk, Work&& work) {
        int count = static_cast<int>((size + chunk - 1) / chunk);
        run(count, [&](int index, int) {
            size_t first = static_cast<size_t>(index) * chunk;
            work(first, std::min(size, first + chunk));
        });
    }

  private:
    void work(int worker);
    void takeTasks(int worker);

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    const Task* task_ = nullptr;
    int count_ = 0;
    std::atomic<int> next_{0};
    std::atomic<int> busy_{0};        // pool threads still on the current round
    std::atomic<uint64_t> round_{0};  // counts the rounds, so that a thread sees a new one
    std::atomic<bool> stopping_{false};
};
