#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "drives/SandboxDrives.h"
#include "tests/support/TempDir.h"
#include "ui/UiContext.h"

namespace velmira::testing {

// Drives in a temporary folder for the windows: C with the chart system's
// four folders, and the drive table given (drives.txt lines). The table can
// be rewritten at any time; the drives read it at each use.
class UiSandbox {
  public:
    explicit UiSandbox(std::string_view drivesTxt = "C fixed\nD cdrom\nF removable\nG removable\n");

    void SetDrives(std::string_view drivesTxt) const;
    // Writes a file below the sandbox, e.g. "F/BackUp/K0001.sxd".
    std::filesystem::path Write(const std::filesystem::path& relative,
                                std::string_view bytes = "data") const;
    std::filesystem::path MakeDir(const std::filesystem::path& relative) const;
    // A path below C:\Velmira, e.g. "H15/K0001.sxd".
    std::filesystem::path Velmira(const std::filesystem::path& relative) const;
    const std::filesystem::path& Root() const { return dir_.path(); }

    SandboxDrives& drives() { return *drives_; }
    UiContext Context() { return UiContext{*drives_, *drives_}; }

  private:
    TempDir dir_;
    std::unique_ptr<SandboxDrives> drives_;
};

}  // namespace velmira::testing
