#pragma once

#include <windows.h>

#include <chrono>

namespace velmira {

// The thread's message loop, shared by the program, a modal window and a
// run's yields. Keys go through the dialog manager of their top-level
// window, which gives Tab, the arrow keys and Enter their meaning there.
class MessagePump {
  public:
    // Handles every message waiting now, then returns. A quit request is
    // left in the queue for the loop that waits for it.
    static void HandlePending();

    // Waits for and handles messages until `done` is true or the thread is
    // asked to quit; returns false for the latter.
    static bool RunUntil(const bool& done);

    // Handles messages as they arrive until no key of the keyboard is held
    // down, or for `most` at the longest.
    static void WaitForKeysUp(std::chrono::milliseconds most);

    // Removes the keys and clicks waiting now without handling them.
    static void DiscardInput();

  private:
    static void Dispatch(MSG& message);
};

}  // namespace velmira
