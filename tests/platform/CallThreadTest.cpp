#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "CallThread.h"
#include "NumberedError.h"

namespace velmira {
namespace {

// The caller pumps on its own thread while the call runs: the call here
// goes on only once it has seen three pumps. A quick call still gets one.
TEST(CallThread, TheCallerPumpsOnItsOwnThreadUntilTheCallEnds) {
    CallThread thread;
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<int> pumps = 0;
    std::atomic<bool> pumpedElsewhere = false;
    const auto pump = [&] {
        ++pumps;
        if (std::this_thread::get_id() != caller) pumpedElsewhere = true;
    };
    std::thread::id ranOn;
    thread.Run(
        [&] {
            ranOn = std::this_thread::get_id();
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (pumps < 3 && std::chrono::steady_clock::now() < giveUp) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        },
        pump);
    EXPECT_GE(pumps, 3);
    EXPECT_NE(ranOn, caller);
    EXPECT_FALSE(pumpedElsewhere);

    pumps = 0;
    thread.Run([] {}, pump);
    EXPECT_EQ(pumps, 1);
}

// What a call raises is raised again on the caller's thread, number and
// detail unchanged, and the thread serves the next call as before.
TEST(CallThread, ACallsErrorReachesTheCallerUnchanged) {
    CallThread thread;
    try {
        thread.Run([] { throw NumberedError(ErrorNumber::DeviceUnavailable, "F:\\BackUp"); }, {});
        FAIL() << "no error";
    } catch (const NumberedError& error) {
        EXPECT_EQ(error.code(), 68);
        EXPECT_EQ(error.detail(), "F:\\BackUp");
    }
    bool ran = false;
    thread.Start([&] { ran = true; });
    thread.Wait({});
    EXPECT_TRUE(ran);
    thread.Wait({});  // nothing started: returns at once
}

}  // namespace
}  // namespace velmira
