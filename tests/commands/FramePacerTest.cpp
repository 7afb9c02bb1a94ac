#include <gtest/gtest.h>

#include "commands/FramePacer.h"

namespace velmira {
namespace {

using Pace = FramePacer::Pace;
using std::chrono::milliseconds;

// Changes at the given milliseconds: drawn at once a frame after the last
// drawing, else once at the frame's end, however many come meanwhile.
TEST(FramePacer, DrawsAChangeAtOnceOrOnceAtTheEndOfTheFrame) {
    FramePacer pacer;
    const FramePacer::Clock::time_point start{std::chrono::hours(1)};
    struct Step {
        int at;
        Pace pace;
        int wait = 0;      // for Later, whose drawing then comes after the steps
        int drawnAt = -1;  // the waiting drawing, made after this step
    };
    for (const Step& step : {Step{0, Pace::Now},
                             {5, Pace::Later, 11},
                             {9, Pace::Waiting, 0, 16},
                             {40, Pace::Now},
                             {50, Pace::Later, 6, 56},
                             {60, Pace::Later, 12},
                             {80, Pace::Waiting}}) {
        const auto now = start + milliseconds(step.at);
        EXPECT_EQ(pacer.Change(now), step.pace) << step.at;
        if (step.pace == Pace::Later) {
            EXPECT_EQ(pacer.Wait(now), milliseconds(step.wait)) << step.at;
        }
        if (step.drawnAt >= 0) pacer.Drawn(start + milliseconds(step.drawnAt));
    }
}

}  // namespace
}  // namespace velmira
