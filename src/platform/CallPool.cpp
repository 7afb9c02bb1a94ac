#include "platform/CallPool.h"

#include <algorithm>
#include <utility>

namespace velmira {

CallPool::CallPool(std::size_t threads) : size_(std::max<std::size_t>(threads, 1)) {}

CallPool::~CallPool() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void CallPool::Start(std::vector<std::function<void()>> calls) {
    // A thread that cannot be made raises here, with nothing started; the
    // threads made so far serve the next set.
    while (threads_.size() < std::min(size_, calls.size())) {
        threads_.emplace_back([this] { Serve(); });
    }
    {
        const std::lock_guard lock(mutex_);
        calls_ = std::move(calls);
        next_ = 0;
        running_ = calls_.size();
        failed_ = calls_.size();
        error_ = nullptr;
    }
    started_ = true;
    changed_.notify_all();
}

bool CallPool::Finished() {
    const std::lock_guard lock(mutex_);
    return running_ == 0;
}

void CallPool::Wait(EventPump* events) {
    if (!started_) return;
    started_ = false;
    // An event handler that raises (a window's own failure, memory) must not
    // end the wait: the calls still running refer to their caller's data.
    std::exception_ptr handlerError;
    if (events != nullptr) {
        try {
            HandleEventsUntilEnded(*events);
        } catch (...) {
            handlerError = std::current_exception();
        }
    }
    std::unique_lock lock(mutex_);
    waiting_ = nullptr;
    changed_.wait(lock, [this] { return running_ == 0; });
    calls_.clear();
    const std::exception_ptr error = std::exchange(error_, nullptr);
    lock.unlock();
    // A call's failure is the run's own, in its files' order; a handler's
    // is a program fault that came later and must not hide it.
    if (error) std::rethrow_exception(error);
    if (handlerError) std::rethrow_exception(handlerError);
}

void CallPool::HandleEventsUntilEnded(EventPump& events) {
    // Once at least: every call handed over gives the window a turn,
    // however short the call.
    events.HandlePending();
    std::unique_lock lock(mutex_);
    waiting_ = &events;
    while (running_ > 0) {
        lock.unlock();
        events.AwaitAndHandle();
        lock.lock();
    }
}

void CallPool::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quit_ || next_ < calls_.size(); });
        if (next_ >= calls_.size()) return;
        const std::size_t index = next_++;
        std::function<void()> call = std::exchange(calls_[index], nullptr);
        lock.unlock();
        std::exception_ptr error;
        try {
            call();
        } catch (...) {
            error = std::current_exception();
        }
        call = nullptr;
        lock.lock();
        // The first failure in the set's order, whichever thread saw it
        // first, so that the same faults always give the same error.
        if (error && index < failed_) {
            failed_ = index;
            error_ = error;
        }
        if (--running_ == 0) {
            // Under the lock, so that the Wait sleeping on these events is
            // still there to be woken.
            if (waiting_ != nullptr) waiting_->Wake();
            changed_.notify_all();
        }
    }
}

}  // namespace velmira
