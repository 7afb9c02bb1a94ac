#pragma once

#include <filesystem>

#include "platform/DrivePath.h"

namespace velmira {

// The seam between drive letters and the native file system: it maps a
// letter to the native root folder of its medium at the moment of use.
class DriveRoots {
  public:
    virtual ~DriveRoots() = default;

    // The native root of drive `letter` (upper case). Raises error 68 when
    // the letter does not exist or its medium or mount is absent.
    virtual std::filesystem::path Root(char letter) const = 0;

    // The letter of the process's current drive.
    virtual char CurrentDrive() const = 0;

    // The native form of a drive-letter path. Only the root can fail (68);
    // a missing folder below it is found by whoever opens the path.
    std::filesystem::path ToNative(const DrivePath& path) const;
};

}  // namespace velmira
