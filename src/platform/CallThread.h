#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace velmira {

// One thread beside the window thread for calls that can block for longer
// than a window may go without processing its events (a flush, a listing,
// a large copy): the window thread hands a call over and keeps pumping its
// events until the call has ended. One call at a time; the thread starts
// with the first call and ends with the object.
class CallThread {
  public:
    // The longest a waiting caller goes without pumping.
    static constexpr std::chrono::milliseconds kPumpInterval{10};

    CallThread() = default;
    // Waits for a call still running, without pumping.
    ~CallThread();
    CallThread(const CallThread&) = delete;
    CallThread& operator=(const CallThread&) = delete;

    // Starts `call` on the thread and returns at once. The call before it
    // must have been waited for.
    void Start(std::function<void()> call);
    // Whether the started call has ended (or none was started); it still
    // needs a Wait.
    bool Finished();
    // Waits for the started call, pumping once at least and then at every
    // interval until it ends, and raises again whatever the call raised.
    // Returns at once when no call was started.
    void Wait(const std::function<void()>& pump);

    // Start, then Wait; a call started before is waited for first.
    void Run(std::function<void()> call, const std::function<void()>& pump);

  private:
    void Serve();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> call_;  // set while a call waits for the thread
    bool running_ = false;        // from Start until the call has ended
    bool quit_ = false;
    std::exception_ptr error_;
    bool started_ = false;  // only touched by the caller's thread
    std::thread thread_;
};

}  // namespace velmira
