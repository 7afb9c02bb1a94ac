#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace velmira::testing {

// A sysfs tree, a mountinfo file and a by-uuid folder built in a temporary
// folder, laid out like the kernel's: device folders under sys/devices and
// relative symbolic links from block/, class/block/ and dev/block/.
class FakeMachine {
  public:
    struct Disk {
        std::string name;  // kernel name, "sdb"
        // The folder under sys/devices that holds the disk's folder, e.g.
        // "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block".
        std::string parent;
        std::string number;  // "8:16"
        std::string removable = "0";
        // device/type of the bus device ("0" disk, "5" optical, "SD", "MMC");
        // empty for none.
        std::string type;
    };

    FakeMachine();

    void AddDisk(const Disk& disk);
    void AddPartition(const std::string& disk, const std::string& name, const std::string& number);
    // Records that holder (a mapper or RAID device) is built on member.
    void AddSlave(const std::string& holder, const std::string& member);
    void SetUuid(const std::string& device, const std::string& uuid);
    // Appends a line to the mount table; the source is /dev/<device>.
    void Mount(const std::string& device, const std::string& target,
               const std::string& fsRoot = "/");
    // Appends a line for a file system without a block device (proc, tmpfs).
    void MountVirtual(const std::string& number, const std::string& target,
                      const std::string& type);
    // Removes the mount lines of a mount point.
    void Unmount(const std::string& target);
    // Removes a disk with its partitions, their links, UUIDs and mounts.
    void Unplug(const std::string& disk);
    // The same, but the mounts stay: a stick pulled out before it was
    // unmounted.
    void Pull(const std::string& disk);

    std::filesystem::path Sys() const { return dir_.path() / "sys"; }
    std::filesystem::path MountInfo() const { return dir_.path() / "mountinfo"; }
    std::filesystem::path UuidFolder() const { return dir_.path() / "by-uuid"; }

  private:
    struct Device {
        std::filesystem::path folder;  // relative to sys/devices
        std::string number;
        std::string disk;
    };

    void Link(const std::filesystem::path& link, const std::filesystem::path& target) const;
    void AddDevice(const std::string& name, const Device& device);
    void WriteMountInfo() const;
    void Remove(const std::string& disk, bool unmount);

    TempDir dir_;
    std::map<std::string, Device> devices_;
    struct MountLine {
        std::string device;
        std::string target;
        std::string text;
    };
    std::vector<MountLine> mounts_;
    int nextMountId_ = 100;
};

}  // namespace velmira::testing
