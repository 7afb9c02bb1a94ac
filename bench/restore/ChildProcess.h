#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmira::bench {

// Runs a program to its end, optionally in another folder, and keeps what
// it wrote to its standard output.
class ChildProcess {
  public:
    struct Result {
        int status = -1;  // exit status, or -1 when it did not exit normally
        std::string output;
    };

    // argv[0] is looked up in PATH unless it holds a slash.
    static Result Run(const std::vector<std::string>& argv,
                      const std::filesystem::path& folder = {});
    // As Run, but raises std::runtime_error unless the program exits with 0.
    static std::string RunChecked(const std::vector<std::string>& argv,
                                  const std::filesystem::path& folder = {});
};

}  // namespace velmira::bench
