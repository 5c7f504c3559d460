#include "solver/thread_pool.h"

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
    {
        std::lock_guard<std::mutex> lock(mutex_);
        task_ = &task;
        count_ = count;
        next_.store(0);
        busy_ = static_cast<int>(workers_.size());
        ++round_;
    }
    wake_.notify_all();
    takeTasks(0);
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return busy_ == 0; });
}

void ThreadPool::work(int worker) {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || round_ != seen; });
            if (stopping_) return;
            seen = round_;
        }
        takeTasks(worker);
        std::lock_guard<std::mutex> lock(mutex_);
        if (--busy_ == 0) done_.notify_one();
    }
}
