#pragma once

#include <windows.h>

#include "platform/EventPump.h"

namespace velmira {

// The message queue of the thread that makes this object: a sleep ends
// when a message arrives (input, paint, a message sent by another thread
// or program) or when another thread sets the object's event.
class WindowEvents : public EventPump {
  public:
    WindowEvents();
    ~WindowEvents() override;
    WindowEvents(const WindowEvents&) = delete;
    WindowEvents& operator=(const WindowEvents&) = delete;

    void HandlePending() override;
    void AwaitAndHandle() override;
    void Wake() override;

  private:
    HANDLE wake_;  // auto-reset: one Wake ends one sleep
};

}  // namespace velmira
