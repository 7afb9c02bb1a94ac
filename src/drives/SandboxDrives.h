#pragma once

#include <filesystem>
#include <map>

#include "drives/DriveSource.h"
#include "platform/DriveRoots.h"

namespace velmira {

// Drives simulated in a folder DIR: DIR/<L>/ is the root of drive L.
// DIR/drives.txt, when present, lists "<LETTER> <type>" per line (fixed,
// removable, cdrom, network, ramdisk); a listed drive without its folder has
// no medium. Without it, C is fixed and every other one-letter folder is
// removable. C is the current drive.
//
// drives.txt: letter and type are separated by spaces or tabs; blank lines
// and CR line ends are accepted; anything else, a lower-case letter or a
// letter listed twice is rejected with error 75 naming the line.
class SandboxDrives : public DriveRoots, public DriveSource {
  public:
    // Raises a numbered error naming the line of a malformed drives.txt, and
    // 76 when DIR is not a folder.
    explicit SandboxDrives(std::filesystem::path dir);

    std::filesystem::path Root(char letter) const override;
    char CurrentDrive() const override { return 'C'; }
    void ForEachDrive(const std::function<void(const DriveEntry&)>& visit) override;

    const std::filesystem::path& Dir() const { return dir_; }

  private:
    // The drives as they are now; drives.txt is read again at each use so
    // that a test may change the sandbox between calls.
    std::map<char, DriveType> Drives() const;
    std::map<char, DriveType> DrivesFromFolders() const;

    std::filesystem::path dir_;
};

}  // namespace velmira
