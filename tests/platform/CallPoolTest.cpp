#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "CallPool.h"
#include "ErrorOf.h"
#include "FakeEvents.h"
#include "NumberedError.h"

namespace velmira {
namespace {

// The calls of a set run at the same time: here none ends before all have
// started. The first failure in the set's order is the one raised, however
// the threads were timed, and the pool serves the next set as before.
TEST(CallPool, RunsASetAtOnceAndRaisesItsFirstFailureInOrder) {
    CallPool pool(4);
    testing::FakeEvents events;
    std::atomic<int> started = 0;
    std::vector<std::function<void()>> calls;
    for (int i = 0; i < 4; ++i) {
        calls.emplace_back([&started, i] {
            ++started;
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (started < 4 && std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            // The later call fails first.
            if (i == 1) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                throw NumberedError(ErrorNumber::DiskFull, "first in order");
            }
            if (i == 3) throw NumberedError(ErrorNumber::DeviceIoError, "first in time");
        });
    }
    pool.Start(std::move(calls));
    EXPECT_EQ(testing::ErrorOf([&] { pool.Wait(&events); }), 61);
    EXPECT_EQ(started, 4);
    EXPECT_GE(events.handled, 1);

    bool ran = false;
    pool.Start({[&] { ran = true; }});
    pool.Wait(nullptr);
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace velmira
