#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace velmira::bench {

// The rounds' times of one timed pair: the restore and its baseline.
struct TimedPair {
    std::vector<double> restore;
    std::vector<double> baseline;
    // CPU seconds (user + system) of each, where measured.
    std::vector<double> restoreCpu;
    std::vector<double> baselineCpu;

    // One line: the best of each side and their ratio, then the rounds'
    // own ratios; with `verbose`, a line per round.
    void Print(const std::string& label, const char* restoreName, const char* baselineName,
               bool verbose) const;
};

double Median(std::vector<double> values);
// "4 KiB", "128 MiB".
std::string Bytes(std::size_t size);
// Seconds, or milliseconds below one second.
std::string Time(double seconds);

}  // namespace velmira::bench
