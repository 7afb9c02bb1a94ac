#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/EventPump.h"

namespace velmira {

// A few threads beside the window thread for calls that gain from running
// at the same time, such as the flushes of many files, which the disk then
// takes together: the window thread hands over a set of calls and handles
// its events as they arrive until all of them have ended. One set at a
// time; the threads start with the first set and end with the object.
class CallPool {
  public:
    explicit CallPool(std::size_t threads);
    // Waits for calls still running, without handling events.
    ~CallPool();
    CallPool(const CallPool&) = delete;
    CallPool& operator=(const CallPool&) = delete;

    // Starts the calls and returns at once. The set before must have been
    // waited for.
    void Start(std::vector<std::function<void()>> calls);
    // Whether every call of the set has ended (or none was started); the
    // set still needs a Wait.
    bool Finished();
    // Waits for every call of the set and raises again what the first
    // failing call (in the set's order) raised. With `events`, their pending
    // events are handled once at least, as a yield would, and then each as
    // it arrives until the last call ends, which wakes them. Returns at once
    // when no set was started; never before every call has ended, even
    // where handling an event raises (which is then raised here, unless a
    // call failed too: the call's failure comes first).
    void Wait(EventPump* events);

  private:
    void HandleEventsUntilEnded(EventPump& events);
    void Serve();

    const std::size_t size_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::function<void()>> calls_;
    std::size_t next_ = 0;      // the next call to hand to a thread
    std::size_t running_ = 0;   // calls of the set not yet ended
    std::size_t failed_ = 0;    // index of the first failed call, or the set's size
    std::exception_ptr error_;  // its error
    EventPump* waiting_ = nullptr;
    bool quit_ = false;
    bool started_ = false;  // only touched by the caller's thread
    std::vector<std::thread> threads_;
};

}  // namespace velmira
