#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "EventPump.h"

namespace velmira {

// One thread beside the window thread for calls that can block for longer
// than a window may go without processing its events (a flush, a listing,
// a large copy): the window thread hands a call over and handles its events
// as they arrive until the call has ended. One call at a time; the thread
// starts with the first call and ends with the object.
class CallThread {
  public:
    CallThread() = default;
    // Waits for a call still running, without handling events.
    ~CallThread();
    CallThread(const CallThread&) = delete;
    CallThread& operator=(const CallThread&) = delete;

    // Starts `call` on the thread and returns at once. The call before it
    // must have been waited for.
    void Start(std::function<void()> call);
    // Whether the started call has ended (or none was started); it still
    // needs a Wait.
    bool Finished();
    // Waits for the started call and raises again whatever it raised. With
    // `events`, their pending events are handled once at least, as a yield
    // would, and then each as it arrives until the call ends, which wakes
    // them. Returns at once when no call was started.
    void Wait(EventPump* events);

    // Start, then Wait; a call started before is waited for first.
    void Run(std::function<void()> call, EventPump* events);

  private:
    void Serve();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> call_;  // set while a call waits for the thread
    bool running_ = false;        // from Start until the call has ended
    bool quit_ = false;
    std::exception_ptr error_;
    EventPump* waiting_ = nullptr;  // the events a Wait sleeps on, if any
    bool started_ = false;          // only touched by the caller's thread
    std::thread thread_;
};

}  // namespace velmira
