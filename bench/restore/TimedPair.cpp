#include "bench/restore/TimedPair.h"

#include <algorithm>
#include <cstdio>

namespace velmira::bench {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Bytes(std::size_t size) {
    if (size >= (std::size_t{1} << 30) && size % (std::size_t{1} << 30) == 0) {
        return std::to_string(size >> 30) + " GiB";
    }
    if (size >= (std::size_t{1} << 20) && size % (std::size_t{1} << 20) == 0) {
        return std::to_string(size >> 20) + " MiB";
    }
    if (size >= 1024 && size % 1024 == 0) return std::to_string(size >> 10) + " KiB";
    return std::to_string(size) + " B";
}

std::string Time(double seconds) {
    char text[32];
    if (seconds >= 1) {
        std::snprintf(text, sizeof text, "%.3f s", seconds);
    } else {
        std::snprintf(text, sizeof text, "%.1f ms", seconds * 1e3);
    }
    return text;
}

// The best of each side is the headline: noise from the rest of the machine
// (another process's writes flushed by the same sync) only ever adds time.
void TimedPair::Print(const std::string& label, const char* restoreName, const char* baselineName,
                      bool verbose) const {
    const double best = *std::min_element(restore.begin(), restore.end());
    const double bestBaseline = *std::min_element(baseline.begin(), baseline.end());
    std::printf("%s: %s %s, %s %s, ratio %.2f", label.c_str(), restoreName, Time(best).c_str(),
                baselineName, Time(bestBaseline).c_str(), best / bestBaseline);
    if (restore.size() > 1) {
        // Each round's two copies run back to back, so the ratio within a
        // round is steadier than the ratio of bests when the file system's
        // speed drifts between rounds.
        std::vector<double> ratios;
        for (std::size_t round = 0; round < restore.size(); ++round)
            ratios.push_back(restore[round] / baseline[round]);
        std::printf(" (best of %zu; median of the rounds' ratios %.2f, range %.2f to %.2f)",
                    restore.size(), Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                    *std::max_element(ratios.begin(), ratios.end()));
    }
    std::printf("\n");
    if (verbose) {
        const auto cpu = [](const std::vector<double>& values, std::size_t round) {
            return round < values.size() ? " (cpu " + Time(values[round]) + ")" : std::string();
        };
        for (std::size_t round = 0; round < restore.size(); ++round) {
            std::printf("  round %zu: %s %s%s, %s %s%s\n", round + 1, restoreName,
                        Time(restore[round]).c_str(), cpu(restoreCpu, round).c_str(), baselineName,
                        Time(baseline[round]).c_str(), cpu(baselineCpu, round).c_str());
        }
    }
    std::fflush(stdout);
}

}  // namespace velmira::bench
