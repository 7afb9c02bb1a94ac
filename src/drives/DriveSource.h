#pragma once

#include <functional>

namespace velmira {

// Type codes as the Windows scripting runtime numbers them.
enum class DriveType : int {
    Unknown = 0,
    Removable = 1,
    Fixed = 2,
    Network = 3,
    CdRom = 4,
    RamDisk = 5,
};

struct DriveEntry {
    char letter;
    DriveType type;
};

// The machine's drives, in ascending letter order. An implementation
// releases what it opened on every exit, normal or by an error.
class DriveSource {
  public:
    virtual ~DriveSource() = default;
    // Calls visit for each drive in letter order; a numbered error from the
    // source (or from visit) stops the walk.
    virtual void ForEachDrive(const std::function<void(const DriveEntry&)>& visit) = 0;
};

}  // namespace velmira
