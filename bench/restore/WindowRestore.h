#pragma once

#include <QString>
#include <filesystem>
#include <memory>

#include "bench/restore/BoxAnswerer.h"
#include "drives/SandboxDrives.h"

namespace velmira {
class RestoreForm;
}

namespace velmira::bench {

class BenchTree;

// The restore window over a drive folder, driven as an operator drives it:
// opened as the start window opens it, drive F picked in the list, "復元開始"
// clicked, every message box answered with OK.
class WindowRestore {
  public:
    struct Outcome {
        double seconds = 0;  // from the click to the completion message
        bool finished = false;
        QString lastBox;  // the text of the last message box shown
    };

    explicit WindowRestore(const std::filesystem::path& driveFolder);
    ~WindowRestore();

    // Opens the window and clicks Start once with no drive chosen, so that
    // the first message box of the timed run is not the first of the process.
    void Open();
    // Picks F and runs the Start command to its end.
    Outcome Restore();

    RestoreForm& form() { return *form_; }
    BoxAnswerer& boxes() { return boxes_; }

  private:
    SandboxDrives drives_;
    BoxAnswerer boxes_;
    std::unique_ptr<RestoreForm> form_;
};

// Runs one restore through the window and checks that it finished and put
// `expected` files in the tree's H15 and set; returns its seconds. Raises
// std::runtime_error otherwise.
double RestoreThroughWindow(WindowRestore& window, const BenchTree& tree, std::size_t expected);

}  // namespace velmira::bench
