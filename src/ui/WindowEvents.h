#pragma once

#include <functional>

#include "platform/EventPump.h"

class QAbstractEventDispatcher;

namespace velmira {

// The events of the thread that makes this object, through Qt's own event
// loop: a sleep ends when an event arrives or when another thread wakes
// the loop, which Qt allows from any thread.
class WindowEvents : public EventPump {
  public:
    // `beforeHandling`, when given, is called before each handling.
    explicit WindowEvents(std::function<void()> beforeHandling = {});

    void HandlePending() override;
    void AwaitAndHandle() override;
    void Wake() override;

  private:
    std::function<void()> beforeHandling_;
    QAbstractEventDispatcher* dispatcher_;
};

}  // namespace velmira
