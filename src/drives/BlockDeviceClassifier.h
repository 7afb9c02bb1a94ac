#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmira {

// Reads a sysfs tree to tell which disks Windows would call removable: those
// whose medium the disk itself reports removable. USB hard disks are fixed
// there, and so they are here.
class BlockDeviceClassifier {
  public:
    explicit BlockDeviceClassifier(std::filesystem::path sysfsRoot);

    // The sysfs folder of block device MAJ:MIN, or an empty path when the
    // number is no block device (proc, tmpfs and the like).
    std::filesystem::path DeviceFolder(unsigned devMajor, unsigned devMinor) const;
    // The sysfs folder of the block device with this kernel name ("sdb1"),
    // or an empty path.
    std::filesystem::path DeviceFolderNamed(const std::string& name) const;

    // The whole disk a device belongs to: its parent when it is a partition.
    static std::filesystem::path DiskOf(const std::filesystem::path& device);
    // The disks a device's data lies on: its own disk and, below mapper or
    // RAID devices, the disks of their members.
    std::vector<std::filesystem::path> UnderlyingDisks(const std::filesystem::path& device) const;

    bool IsRemovable(const std::filesystem::path& disk) const;

    // Every whole disk of the machine, ordered by kernel name.
    std::vector<std::filesystem::path> Disks() const;
    // A cheap token for the set of disks: it differs when a disk has come or
    // gone, also one that nothing mounts (a stick pulled while mounted, a
    // card in a built-in reader). Empty when the list cannot be read.
    std::string DiskListing() const;

    // A device's number as sysfs gives it ("8:17"), or "" when unknown.
    static std::string DeviceNumber(const std::filesystem::path& device);

  private:
    bool IsVirtual(const std::filesystem::path& disk) const;
    void CollectDisks(const std::filesystem::path& device, int depth,
                      std::vector<std::filesystem::path>& disks) const;

    std::filesystem::path sysfsRoot_;
};

}  // namespace velmira
