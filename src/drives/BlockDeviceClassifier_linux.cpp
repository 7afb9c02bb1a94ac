#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <system_error>
#include <utility>

#include "drives/BlockDeviceClassifier.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// A sysfs attribute without its trailing newline, or "" when it is absent.
std::string Attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string value;
    if (!in || !std::getline(in, value)) return {};
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.pop_back();
    return value;
}

fs::path Resolved(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::canonical(path, error);
    return error ? fs::path{} : real;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// "ata3", "usb2": a bus node name followed by its number.
bool IsBusNode(const std::string& name, const std::string& bus) {
    return name.size() > bus.size() && StartsWith(name, bus) &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(bus.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

// Disks behind an ATA port without a USB bridge above them: some kernels
// mark hot-plug SATA ports removable, which Windows does not.
bool OnAtaWithoutUsb(const fs::path& disk) {
    bool ata = false;
    for (const auto& part : disk) {
        const std::string name = part.string();
        if (IsBusNode(name, "usb")) return false;
        if (IsBusNode(name, "ata")) ata = true;
    }
    return ata;
}

}  // namespace

BlockDeviceClassifier::BlockDeviceClassifier(fs::path sysfsRoot) {
    const fs::path real = Resolved(sysfsRoot);
    sysfsRoot_ = real.empty() ? std::move(sysfsRoot) : real;
}

fs::path BlockDeviceClassifier::DeviceFolder(unsigned devMajor, unsigned devMinor) const {
    return Resolved(sysfsRoot_ / "dev" / "block" /
                    (std::to_string(devMajor) + ":" + std::to_string(devMinor)));
}

fs::path BlockDeviceClassifier::DeviceFolderNamed(const std::string& name) const {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        return {};
    }
    return Resolved(sysfsRoot_ / "class" / "block" / name);
}

fs::path BlockDeviceClassifier::DiskOf(const fs::path& device) {
    std::error_code error;
    return fs::exists(device / "partition", error) ? device.parent_path() : device;
}

std::vector<fs::path> BlockDeviceClassifier::UnderlyingDisks(const fs::path& device) const {
    std::vector<fs::path> disks;
    CollectDisks(device, 0, disks);
    return disks;
}

void BlockDeviceClassifier::CollectDisks(const fs::path& device, int depth,
                                         std::vector<fs::path>& disks) const {
    // Mapper over RAID over partitions is three levels; the bound only
    // guards against a malformed tree.
    if (device.empty() || depth > 8) return;
    const fs::path disk = DiskOf(device);
    if (std::find(disks.begin(), disks.end(), disk) == disks.end()) disks.push_back(disk);
    for (const fs::path& holder : {device, disk}) {
        std::error_code error;
        fs::directory_iterator slave(holder / "slaves", error);
        for (; !error && slave != fs::directory_iterator(); slave.increment(error)) {
            CollectDisks(Resolved(slave->path()), depth + 1, disks);
        }
    }
}

bool BlockDeviceClassifier::IsVirtual(const fs::path& disk) const {
    const fs::path virtualRoot = sysfsRoot_ / "devices" / "virtual";
    const auto mismatch =
        std::mismatch(virtualRoot.begin(), virtualRoot.end(), disk.begin(), disk.end());
    return mismatch.first == virtualRoot.end();
}

bool BlockDeviceClassifier::IsRemovable(const fs::path& disk) const {
    // loop, zram, device mapper, software RAID
    if (IsVirtual(disk)) return false;
    const std::string name = disk.filename().string();
    const std::string type = Attribute(disk / "device" / "type");
    // Optical drives are CD-ROM drives on Windows; floppies are never media
    // for a backup.
    if (StartsWith(name, "sr") || type == "5") return false;
    if (StartsWith(name, "fd")) return false;
    // A built-in card reader reports an SD card with the flag 0, and eMMC
    // soldered to the board as MMC.
    if (StartsWith(name, "mmcblk")) return type == "SD";
    if (Attribute(disk / "removable") != "1") return false;
    return !OnAtaWithoutUsb(disk);
}

std::vector<fs::path> BlockDeviceClassifier::Disks() const {
    std::vector<std::pair<std::string, fs::path>> named;
    std::error_code error;
    fs::directory_iterator entry(sysfsRoot_ / "block", error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        fs::path disk = Resolved(entry->path());
        if (!disk.empty()) named.emplace_back(entry->path().filename().string(), std::move(disk));
    }
    std::sort(named.begin(), named.end());
    std::vector<fs::path> disks;
    for (auto& item : named) disks.push_back(std::move(item.second));
    return disks;
}

std::string BlockDeviceClassifier::DiskListing() const {
    DIR* const folder = ::opendir((sysfsRoot_ / "block").c_str());
    if (!folder) return {};
    // sysfs numbers each new node afresh, so a disk unplugged and plugged
    // again under the same name still changes the token.
    std::vector<std::string> entries;
    while (const dirent* entry = ::readdir(folder)) {
        entries.push_back(std::string(entry->d_name) + "/" + std::to_string(entry->d_ino));
    }
    ::closedir(folder);
    std::sort(entries.begin(), entries.end());
    std::string listing;
    for (const auto& entry : entries) listing += entry + "\n";
    return listing;
}

std::string BlockDeviceClassifier::DeviceNumber(const fs::path& device) {
    return Attribute(device / "dev");
}

}  // namespace velmira
