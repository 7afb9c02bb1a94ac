#pragma once

#include <time.h>

#include <cstdint>

namespace velmira::bench {

// The system-wide monotonic clock, so that a child process can measure from
// a moment its parent took.
inline std::int64_t MonotonicNanos() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

inline double SecondsBetween(std::int64_t from, std::int64_t to) {
    return static_cast<double>(to - from) / 1e9;
}

}  // namespace velmira::bench
