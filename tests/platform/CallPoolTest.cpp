#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "platform/CallPool.h"
#include "platform/NumberedError.h"
#include "tests/support/FakeEvents.h"

namespace velmira {
namespace {

// Waits up to 30 s for `done`.
template <typename Done>
void AwaitUntil(const Done& done) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!done() && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// The calls of a set run at the same time: here none ends before all have
// started. The first failure in the set's order is the one raised on the
// caller's thread, number and detail unchanged, however the threads were
// timed, and the pool serves the next set as before.
TEST(CallPool, RunsASetAtOnceAndRaisesItsFirstFailureInOrder) {
    CallPool pool(4);
    testing::FakeEvents events;
    std::atomic<int> started = 0;
    std::vector<std::function<void()>> calls;
    for (int i = 0; i < 4; ++i) {
        calls.emplace_back([&started, i] {
            ++started;
            AwaitUntil([&] { return started == 4; });
            // The later call fails first.
            if (i == 1) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                throw NumberedError(ErrorNumber::DiskFull, "first in order");
            }
            if (i == 3) throw NumberedError(ErrorNumber::DeviceIoError, "first in time");
        });
    }
    pool.Start(std::move(calls));
    try {
        pool.Wait(&events);
        ADD_FAILURE() << "no error";
    } catch (const NumberedError& error) {
        EXPECT_EQ(error.code(), 61);
        EXPECT_EQ(error.detail(), "first in order");
    }
    EXPECT_EQ(started, 4);
    EXPECT_GE(events.handled, 1);

    bool ran = false;
    pool.Start({[&] { ran = true; }});
    pool.Wait(nullptr);
    EXPECT_TRUE(ran);
    pool.Wait(nullptr);  // nothing started: returns at once
}

// While a call runs, the caller handles each event as it arrives, on its
// own thread: the call here posts three, each after the one before was
// handled. A quick call still gives the events one turn.
TEST(CallPool, TheCallerHandlesEventsAsTheyArriveUntilTheCallsEnd) {
    CallPool pool(1);
    testing::FakeEvents events;
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> handled = 0;
    std::atomic<bool> handledElsewhere = false;
    pool.Start({[&] {
        for (int i = 0; i < 3; ++i) {
            events.Post([&] {
                if (std::this_thread::get_id() != caller) handledElsewhere = true;
                ++handled;
            });
            AwaitUntil([&] { return handled > i; });
        }
    }});
    pool.Wait(&events);
    EXPECT_EQ(handled, 3);
    EXPECT_FALSE(handledElsewhere);

    const int before = events.handled;
    pool.Start({[] {}});
    pool.Wait(&events);
    EXPECT_GE(events.handled, before + 1);
}

}  // namespace
}  // namespace velmira
