#pragma once

#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace velmira::bench {

// The sizes of one benchmark run. The defaults are the full run; --small
// shrinks every case so that the whole run takes a few seconds.
struct BenchOptions {
    int smallFiles = 20000;
    std::size_t smallSize = 4096;
    int largeFiles = 8;
    std::size_t largeSize = std::size_t{128} << 20;
    int listFiles = 40000;
    std::size_t gapSize = std::size_t{1} << 30;
    // The model of a clinic's PC: the numbers of files of smallSize to
    // restore on it, and its rounds (each round several seconds a thousand
    // files at today's speed).
    std::vector<int> modelFiles = {2000};
    int modelRounds = 3;
    // Each timed pair runs this often, alternating which goes first; the
    // best and the median of each side are reported.
    int rounds = 5;
    // Where the temporary folders go; the source, the copies and the
    // restored files always share one file system.
    std::filesystem::path parent;
    // The cases to run (small, large, listing, memory, paint, gap, model); empty
    // runs them all.
    std::set<std::string> only;
    // Prints every round's times too.
    bool verbose = false;

    bool Runs(const std::string& name) const { return only.empty() || only.count(name) != 0; }

    // Raises std::invalid_argument with a message for a bad argument.
    static BenchOptions Parse(int argc, char** argv);
    static const char* Usage();
};

}  // namespace velmira::bench
