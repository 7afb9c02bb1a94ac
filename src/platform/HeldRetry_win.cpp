#include "platform/HeldRetry_win.h"

#include <algorithm>
#include <thread>

namespace velmira {

bool HeldRetry::IsHold(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           code == ERROR_ACCESS_DENIED;
}

DWORD HeldRetry::Run(const std::function<DWORD()>& attempt) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point giveUp = Clock::now() + kPatience;
    std::chrono::milliseconds pause{10};
    for (;;) {
        const DWORD code = attempt();
        if (!IsHold(code)) return code;
        const Clock::time_point now = Clock::now();
        if (now >= giveUp) return code;
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, giveUp - now));
        pause = std::min(pause * 2, std::chrono::milliseconds{250});
    }
}

}  // namespace velmira
