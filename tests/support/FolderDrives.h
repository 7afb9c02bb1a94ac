#pragma once

#include <filesystem>
#include <map>

#include "platform/DriveRoots.h"
#include "platform/NumberedError.h"

namespace velmira::testing {

// Drive letters mapped straight onto folders; an unmapped letter has no
// medium. C is the current drive.
class FolderDrives : public DriveRoots {
  public:
    std::map<char, std::filesystem::path> roots;

    std::filesystem::path Root(char letter) const override {
        const auto found = roots.find(letter);
        if (found == roots.end()) throw NumberedError(ErrorNumber::DeviceUnavailable);
        return found->second;
    }
    char CurrentDrive() const override { return 'C'; }
};

}  // namespace velmira::testing
