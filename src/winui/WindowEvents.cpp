#include "winui/WindowEvents.h"

#include <cstdio>
#include <cstdlib>

#include "winui/MessagePump.h"

namespace velmira {

WindowEvents::WindowEvents() : wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (wake_ == nullptr) {
        std::fprintf(stderr, "CreateEventW failed: %lu\n", GetLastError());
        std::abort();
    }
}

WindowEvents::~WindowEvents() {
    CloseHandle(wake_);
}

void WindowEvents::HandlePending() {
    MessagePump::HandlePending();
}

void WindowEvents::AwaitAndHandle() {
    // MWMO_INPUTAVAILABLE: messages already seen but not yet removed end the
    // wait too, so none waits for the next one to arrive.
    MsgWaitForMultipleObjectsEx(1, &wake_, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MessagePump::HandlePending();
}

void WindowEvents::Wake() {
    SetEvent(wake_);
}

}  // namespace velmira
