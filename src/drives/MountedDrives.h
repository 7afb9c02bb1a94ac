#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "drives/BlockDeviceClassifier.h"
#include "drives/DriveSource.h"
#include "drives/LetterAssigner.h"
#include "drives/MountTableWatch.h"
#include "platform/DriveRoots.h"

namespace velmira {

// The drives of a Linux machine as Windows would show them: C is "/", and
// every volume of a removable disk gets a letter from D on, kept while it
// stays present (keyed by file-system UUID, else device number). A
// removable disk with no mounted file system (an empty card slot) still has
// a letter; its root raises 68. Letters resolve to mount points at the
// moment of use, from the mount table as it is then.
//
// A restore resolves a letter once per run (RememberedDrives), and again
// only after a file fails, to tell a pulled stick; Root still reuses the
// last look for as long as neither the mount table nor the set of disks has
// changed since, as C and the stick are resolved one after the other. The
// drive list always looks afresh.
//
// One object should live as long as the program, so that letters stay put.
class MountedDrives : public DriveRoots, public DriveSource {
  public:
    explicit MountedDrives(std::filesystem::path sysfsRoot = "/sys",
                           std::filesystem::path mountInfo = "/proc/self/mountinfo",
                           std::filesystem::path uuidFolder = "/dev/disk/by-uuid");
    MountedDrives(const MountedDrives&) = delete;
    MountedDrives& operator=(const MountedDrives&) = delete;

    std::filesystem::path Root(char letter) const override;
    char CurrentDrive() const override { return 'C'; }
    void ForEachDrive(const std::function<void(const DriveEntry&)>& visit) override;

  private:
    struct Volume {
        std::string key;
        // Empty for a removable disk without a mounted file system.
        std::optional<std::filesystem::path> mountPoint;
    };

    using Letters = std::map<char, std::optional<std::filesystem::path>>;

    // The removable volumes present now, in mount-table order, then the
    // removable disks that have nothing mounted.
    std::vector<Volume> Volumes() const;
    // The volumes by letter, after giving letters to those that came.
    Letters Lettered() const;
    // Looks afresh and keeps what it saw.
    const Letters& Rescan() const;
    std::filesystem::path DeviceOf(unsigned devMajor, unsigned devMinor,
                                   const std::string& source) const;
    std::map<std::string, std::string> UuidsByDeviceName() const;

    BlockDeviceClassifier classifier_;
    std::filesystem::path mountInfo_;
    std::filesystem::path uuidFolder_;
    mutable LetterAssigner letters_;

    mutable MountTableWatch tableWatch_;
    // The last look, and the disks there were just before it.
    mutable std::optional<Letters> lastLook_;
    mutable std::string lastDisks_;
};

}  // namespace velmira
