#include "tests/drives/FakeMachine.h"

#include <algorithm>
#include <vector>

namespace velmira::testing {

namespace fs = std::filesystem;

namespace {

// The kernel's escapes in mountinfo paths.
std::string Escaped(const std::string& path) {
    std::string text;
    for (char c : path) {
        switch (c) {
            case ' ':
                text += "\\040";
                break;
            case '\t':
                text += "\\011";
                break;
            case '\n':
                text += "\\012";
                break;
            case '\\':
                text += "\\134";
                break;
            default:
                text += c;
        }
    }
    return text;
}

}  // namespace

FakeMachine::FakeMachine() {
    for (const char* folder :
         {"sys/block", "sys/class/block", "sys/dev/block", "sys/devices", "by-uuid"}) {
        dir_.MakeDir(folder);
    }
    WriteMountInfo();
}

void FakeMachine::Link(const fs::path& link, const fs::path& target) const {
    fs::create_directories(link.parent_path());
    fs::create_directory_symlink(target, link);
}

void FakeMachine::AddDevice(const std::string& name, const Device& device) {
    const fs::path folder = Sys() / "devices" / device.folder;
    fs::create_directories(folder);
    dir_.Write(fs::relative(folder / "dev", dir_.path()), device.number + "\n");
    Link(Sys() / "class" / "block" / name, fs::path("../../devices") / device.folder);
    Link(Sys() / "dev" / "block" / device.number, fs::path("../../devices") / device.folder);
    devices_[name] = device;
}

void FakeMachine::AddDisk(const Disk& disk) {
    const fs::path folder = fs::path(disk.parent) / disk.name;
    AddDevice(disk.name, Device{folder, disk.number, disk.name});
    const fs::path real = Sys() / "devices" / folder;
    dir_.Write(fs::relative(real / "removable", dir_.path()), disk.removable + "\n");
    Link(Sys() / "block" / disk.name, fs::path("../devices") / folder);
    if (!disk.type.empty()) {
        // The bus device: the parent of "block", or the parent itself.
        fs::path bus = fs::path(disk.parent);
        if (bus.filename() == "block") bus = bus.parent_path();
        dir_.Write(fs::relative(Sys() / "devices" / bus / "type", dir_.path()), disk.type + "\n");
        Link(real / "device", fs::relative(Sys() / "devices" / bus, real));
    }
}

void FakeMachine::AddPartition(const std::string& disk, const std::string& name,
                               const std::string& number) {
    const Device& parent = devices_.at(disk);
    const fs::path folder = parent.folder / name;
    AddDevice(name, Device{folder, number, disk});
    dir_.Write(fs::relative(Sys() / "devices" / folder / "partition", dir_.path()), "1\n");
}

void FakeMachine::AddSlave(const std::string& holder, const std::string& member) {
    const fs::path slaves = Sys() / "devices" / devices_.at(holder).folder / "slaves";
    fs::create_directories(slaves);
    Link(slaves / member, fs::relative(Sys() / "devices" / devices_.at(member).folder, slaves));
}

void FakeMachine::SetUuid(const std::string& device, const std::string& uuid) {
    fs::create_symlink(fs::path("../..") / device, UuidFolder() / uuid);
}

void FakeMachine::Mount(const std::string& device, const std::string& target,
                        const std::string& fsRoot) {
    const int id = nextMountId_++;
    mounts_.push_back({device, target,
                       std::to_string(id) + " 1 " + devices_.at(device).number + " " +
                           Escaped(fsRoot) + " " + Escaped(target) + " rw,relatime - vfat /dev/" +
                           device + " rw"});
    WriteMountInfo();
}

void FakeMachine::MountVirtual(const std::string& number, const std::string& target,
                               const std::string& type) {
    const int id = nextMountId_++;
    mounts_.push_back({"", target,
                       std::to_string(id) + " 1 " + number + " / " + Escaped(target) + " rw - " +
                           type + " " + type + " rw"});
    WriteMountInfo();
}

void FakeMachine::Unmount(const std::string& target) {
    std::erase_if(mounts_, [&target](const MountLine& line) { return line.target == target; });
    WriteMountInfo();
}

void FakeMachine::Unplug(const std::string& disk) {
    Remove(disk, true);
}

void FakeMachine::Pull(const std::string& disk) {
    Remove(disk, false);
}

void FakeMachine::Remove(const std::string& disk, bool unmount) {
    fs::remove_all(Sys() / "devices" / devices_.at(disk).folder);
    fs::remove(Sys() / "block" / disk);
    for (auto it = devices_.begin(); it != devices_.end();) {
        if (it->second.disk != disk) {
            ++it;
            continue;
        }
        const std::string name = it->first;
        fs::remove(Sys() / "class" / "block" / name);
        fs::remove(Sys() / "dev" / "block" / it->second.number);
        std::vector<fs::path> links;
        for (const auto& link : fs::directory_iterator(UuidFolder())) {
            if (fs::read_symlink(link.path()).filename() == name) links.push_back(link.path());
        }
        for (const auto& link : links) fs::remove(link);
        if (unmount) {
            std::erase_if(mounts_, [&name](const MountLine& line) { return line.device == name; });
        }
        it = devices_.erase(it);
    }
    WriteMountInfo();
}

void FakeMachine::WriteMountInfo() const {
    std::string text;
    for (const auto& line : mounts_) text += line.text + "\n";
    dir_.Write("mountinfo", text);
}

}  // namespace velmira::testing
