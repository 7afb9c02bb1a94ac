#include "CallThread.h"

#include <utility>

namespace velmira {

CallThread::~CallThread() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void CallThread::Start(std::function<void()> call) {
    // A thread that cannot be made raises here, with nothing started.
    if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
    {
        const std::lock_guard lock(mutex_);
        call_ = std::move(call);
        running_ = true;
        error_ = nullptr;
    }
    started_ = true;
    changed_.notify_all();
}

bool CallThread::Finished() {
    const std::lock_guard lock(mutex_);
    return !running_;
}

void CallThread::Wait(EventPump* events) {
    if (!started_) return;
    started_ = false;
    if (events != nullptr) {
        // Once at least: every call handed over gives the window a turn,
        // however short the call.
        events->HandlePending();
    }
    std::unique_lock lock(mutex_);
    if (events != nullptr) {
        waiting_ = events;
        while (running_) {
            lock.unlock();
            events->AwaitAndHandle();
            lock.lock();
        }
        waiting_ = nullptr;
    } else {
        changed_.wait(lock, [this] { return !running_; });
    }
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void CallThread::Run(std::function<void()> call, EventPump* events) {
    Wait(events);
    Start(std::move(call));
    Wait(events);
}

void CallThread::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quit_ || call_; });
        if (!call_) return;
        std::function<void()> call = std::exchange(call_, nullptr);
        lock.unlock();
        std::exception_ptr error;
        try {
            call();
        } catch (...) {
            error = std::current_exception();
        }
        call = nullptr;
        lock.lock();
        error_ = error;
        running_ = false;
        // Under the lock, so that the Wait sleeping on these events is still
        // there to be woken.
        if (waiting_ != nullptr) waiting_->Wake();
        changed_.notify_all();
    }
}

}  // namespace velmira
