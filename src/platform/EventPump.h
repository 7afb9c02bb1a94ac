#pragma once

namespace velmira {

// The window thread's events as seen by a caller that waits there for work
// done on another thread: every event is handled as it arrives, and the
// wait ends as soon as the other thread says so, with no interval between
// looks. Implemented by each front end over its own event loop.
class EventPump {
  public:
    virtual ~EventPump() = default;

    // Handles every event waiting now, then returns.
    virtual void HandlePending() = 0;
    // Sleeps until an event arrives or Wake is called, handles what is then
    // waiting and returns. A Wake made while no one sleeps ends the next
    // sleep at once, so that none is missed.
    virtual void AwaitAndHandle() = 0;
    // Ends the sleep of AwaitAndHandle; called from any thread.
    virtual void Wake() = 0;
};

}  // namespace velmira
