#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/EventPump.h"

namespace velmira::testing {

// A window thread's events without a window. Each handling runs what was
// posted, counts itself and calls onHandled; AwaitAndHandle sleeps until
// something is posted (from any thread, as input arrives at a window) or
// the pump is woken.
class FakeEvents : public EventPump {
  public:
    FakeEvents() = default;
    // A copy takes the counts and callbacks, not what waits to be handled.
    FakeEvents(const FakeEvents& other);
    FakeEvents& operator=(const FakeEvents& other);

    void HandlePending() override;
    void AwaitAndHandle() override;
    void Wake() override;

    // An event for the pump's thread; wakes a sleeping AwaitAndHandle.
    void Post(std::function<void()> event);

    // Handlings so far, sleeps included.
    int handled = 0;
    int sleeps = 0;
    // Called at each handling with its number (0 for the first), and as
    // AwaitAndHandle is about to sleep.
    std::function<void(int)> onHandled;
    std::function<void()> onSleep;

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> posted_;
    bool woken_ = false;
};

}  // namespace velmira::testing
