#pragma once

#include <functional>
#include <utility>

#include "platform/CallPool.h"
#include "platform/EventPump.h"

namespace velmira {

// One thread beside the window thread for calls that can block for longer
// than a window may go without processing its events (a listing, a large
// copy, a file that another program holds): the window thread hands a call
// over and handles its events as they arrive until the call has ended. One
// call at a time; the thread starts with the first call and ends with the
// object, which first waits for a call still running, without handling
// events.
class CallThread {
  public:
    // Starts `call` on the thread and returns at once. The call before it
    // must have been waited for.
    void Start(std::function<void()> call) { thread_.Start({std::move(call)}); }
    // Whether the started call has ended (or none was started); it still
    // needs a Wait.
    bool Finished() { return thread_.Finished(); }
    // Waits for the started call and raises again whatever it raised,
    // handling `events` meanwhile (CallPool::Wait). Returns at once when no
    // call was started.
    void Wait(EventPump* events) { thread_.Wait(events); }

    // Start, then Wait; a call started before is waited for first.
    void Run(std::function<void()> call, EventPump* events) {
        Wait(events);
        Start(std::move(call));
        Wait(events);
    }

  private:
    CallPool thread_{1};
};

}  // namespace velmira
