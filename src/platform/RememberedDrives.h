#pragma once

#include <map>

#include "platform/DriveRoots.h"

namespace velmira {

// Asks another DriveRoots once per letter and keeps the answer, for one
// operation over many files: looking a drive up again for every file costs
// more than copying a small one. Whoever uses it asks the live drives again
// when a file fails, to tell a medium that went away (68).
class RememberedDrives : public DriveRoots {
  public:
    explicit RememberedDrives(const DriveRoots& live) : live_(live) {}

    std::filesystem::path Root(char letter) const override;
    char CurrentDrive() const override { return live_.CurrentDrive(); }

  private:
    const DriveRoots& live_;
    mutable std::map<char, std::filesystem::path> roots_;
};

}  // namespace velmira
