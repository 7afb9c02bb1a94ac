#include "tests/support/FakeEvents.h"

#include <utility>

namespace velmira::testing {

FakeEvents::FakeEvents(const FakeEvents& other)
    : EventPump(other),
      handled(other.handled),
      sleeps(other.sleeps),
      onHandled(other.onHandled),
      onSleep(other.onSleep) {}

FakeEvents& FakeEvents::operator=(const FakeEvents& other) {
    handled = other.handled;
    sleeps = other.sleeps;
    onHandled = other.onHandled;
    onSleep = other.onSleep;
    return *this;
}

void FakeEvents::HandlePending() {
    std::deque<std::function<void()>> posted;
    {
        const std::lock_guard lock(mutex_);
        posted.swap(posted_);
    }
    for (auto& event : posted) event();
    if (onHandled) onHandled(handled);
    ++handled;
}

void FakeEvents::AwaitAndHandle() {
    if (onSleep) onSleep();
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return woken_ || !posted_.empty(); });
        woken_ = false;
    }
    ++sleeps;
    HandlePending();
}

void FakeEvents::Wake() {
    {
        const std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_all();
}

void FakeEvents::Post(std::function<void()> event) {
    {
        const std::lock_guard lock(mutex_);
        posted_.push_back(std::move(event));
    }
    changed_.notify_all();
}

}  // namespace velmira::testing
