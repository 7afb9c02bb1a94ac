#pragma once

#include <filesystem>

namespace velmira {

// A sample set of drives for trying the program without a backup medium:
//   C/Velmira/{H15,set,cb,kdata}, with set/info.ini naming 茨城県 (code page 932)
//   D  CD-ROM, never listed
//   F  removable: BackUp with chart files of every routed kind and files the
//      restore skips, BackUp2 with treatment-book files
//   G  removable without a medium
// laid out as drives in a folder (see SandboxDrives).
class DemoSandbox {
  public:
    // Makes a new, private folder under `parent` and fills it. Returns its path.
    static std::filesystem::path Create(const std::filesystem::path& parent);

    // Fills `dir`, which must exist. Raises std::filesystem::filesystem_error
    // when a folder or file cannot be written.
    static void Fill(const std::filesystem::path& dir);
};

}  // namespace velmira
