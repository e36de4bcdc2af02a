#include "WorkerThreads.h"

WorkerThreads::~WorkerThreads() {
    JoinAll();
}

void WorkerThreads::Join() {
    JoinAll();
    std::exception_ptr failure;
    {
        const std::lock_guard<std::mutex> lock(lock_);
        failure = std::exchange(failure_, nullptr);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void WorkerThreads::Keep(std::exception_ptr failure) {
    const std::lock_guard<std::mutex> lock(lock_);
    if (!failure_) {
        failure_ = std::move(failure);
    }
}

void WorkerThreads::JoinAll() {
    for (std::thread& thread : threads_) {
        if (thread.joinable()) {
            thread.join();
        }
    }
    threads_.clear();
}
