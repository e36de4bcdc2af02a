#pragma once

#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

// Threads that run work beside the caller's and are always joined: a thread never outlives
// the object, whether the caller returns or throws, and an exception a worker lets out is
// kept and thrown again by Join on the joining thread instead of ending the program.
class WorkerThreads {
public:
    WorkerThreads() = default;
    // Joins what still runs; an exception not yet passed on by Join is dropped, as a
    // destructor cannot throw (the caller is then already leaving by an exception of its own,
    // or chose not to Join).
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Runs `work()` on a new thread. Throws std::system_error when no thread can be made.
    template <typename Work>
    void Start(Work work) {
        threads_.emplace_back([this, work = std::move(work)]() mutable {
            try {
                work();
            } catch (...) {
                Keep(std::current_exception());
            }
        });
    }

    // Waits for every thread started, then throws the first exception any of them let out.
    void Join();
    std::size_t Count() const { return threads_.size(); }

private:
    void Keep(std::exception_ptr failure);
    void JoinAll();

    std::mutex lock_;
    std::exception_ptr failure_;
    std::vector<std::thread> threads_;
};
