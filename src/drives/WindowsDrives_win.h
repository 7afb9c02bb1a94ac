#pragma once

#include "drives/DriveSource.h"
#include "platform/DriveRoots.h"

namespace velmira {

// The machine's own drive letters on Windows. A letter's root is "L:\";
// a letter that does not exist, or whose drive holds no medium, is error 68.
class WindowsDrives : public DriveRoots, public DriveSource {
  public:
    std::filesystem::path Root(char letter) const override;
    // The drive of the process's current folder; C when that folder has no
    // drive letter (a network share named by \\server\share).
    char CurrentDrive() const override;
    // GetLogicalDrives and GetDriveTypeW, in letter order.
    void ForEachDrive(const std::function<void(const DriveEntry&)>& visit) override;
};

}  // namespace velmira
