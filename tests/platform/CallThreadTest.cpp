#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "CallThread.h"
#include "FakeEvents.h"
#include "NumberedError.h"

namespace velmira {
namespace {

// While the call runs, the caller handles each event as it arrives, on its
// own thread: the call here posts three, each after the one before was
// handled. A quick call still gives the events one turn.
TEST(CallThread, TheCallerHandlesEventsAsTheyArriveUntilTheCallEnds) {
    CallThread thread;
    testing::FakeEvents events;
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> handled = 0;
    std::atomic<bool> handledElsewhere = false;
    thread.Run(
        [&] {
            for (int i = 0; i < 3; ++i) {
                events.Post([&] {
                    if (std::this_thread::get_id() != caller) handledElsewhere = true;
                    ++handled;
                });
                const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
                while (handled <= i && std::chrono::steady_clock::now() < giveUp) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            }
        },
        &events);
    EXPECT_EQ(handled, 3);
    EXPECT_FALSE(handledElsewhere);

    const int before = events.handled;
    thread.Run([] {}, &events);
    EXPECT_GE(events.handled, before + 1);
}

// What a call raises is raised again on the caller's thread, number and
// detail unchanged, and the thread serves the next call as before.
TEST(CallThread, ACallsErrorReachesTheCallerUnchanged) {
    CallThread thread;
    try {
        thread.Run([] { throw NumberedError(ErrorNumber::DeviceUnavailable, "F:\\BackUp"); },
                   nullptr);
        FAIL() << "no error";
    } catch (const NumberedError& error) {
        EXPECT_EQ(error.code(), 68);
        EXPECT_EQ(error.detail(), "F:\\BackUp");
    }
    bool ran = false;
    thread.Start([&] { ran = true; });
    thread.Wait(nullptr);
    EXPECT_TRUE(ran);
    thread.Wait(nullptr);  // nothing started: returns at once
}

}  // namespace
}  // namespace velmira
