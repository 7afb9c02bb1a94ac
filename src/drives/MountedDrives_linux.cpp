#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>

#include "drives/MountTable.h"
#include "drives/MountedDrives.h"
#include "platform/NumberedError.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

bool Contains(const std::vector<fs::path>& paths, const fs::path& path) {
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

}  // namespace

MountedDrives::MountedDrives(fs::path sysfsRoot, fs::path mountInfo, fs::path uuidFolder)
    : classifier_(std::move(sysfsRoot)),
      mountInfo_(std::move(mountInfo)),
      uuidFolder_(std::move(uuidFolder)),
      tableWatch_(mountInfo_) {}

fs::path MountedDrives::DeviceOf(unsigned devMajor, unsigned devMinor,
                                 const std::string& source) const {
    fs::path device = classifier_.DeviceFolder(devMajor, devMinor);
    // btrfs reports an anonymous device number; its source still names the
    // block device.
    const std::string prefix = "/dev/";
    if (device.empty() && source.compare(0, prefix.size(), prefix) == 0) {
        device = classifier_.DeviceFolderNamed(fs::path(source).filename().string());
    }
    return device;
}

std::map<std::string, std::string> MountedDrives::UuidsByDeviceName() const {
    // udev's links: <uuid> -> ../../sdb1
    std::map<std::string, std::string> uuids;
    std::error_code error;
    fs::directory_iterator entry(uuidFolder_, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(entry->path(), linkError);
        if (linkError) continue;
        uuids.emplace(target.filename().string(), entry->path().filename().string());
    }
    return uuids;
}

std::vector<MountedDrives::Volume> MountedDrives::Volumes() const {
    const std::vector<MountEntry> mounts = ReadMountTable(mountInfo_);

    std::vector<fs::path> systemDisks;
    for (const auto& mount : mounts) {
        if (mount.target != "/") continue;
        for (auto& disk :
             classifier_.UnderlyingDisks(DeviceOf(mount.devMajor, mount.devMinor, mount.source))) {
            systemDisks.push_back(std::move(disk));
        }
    }

    const auto uuids = UuidsByDeviceName();
    std::vector<Volume> volumes;
    std::vector<fs::path> seenDevices;
    std::vector<fs::path> disksWithVolumes;
    for (const auto& mount : mounts) {
        // A bind mount of a subfolder is not the volume's root.
        if (mount.fsRoot != "/") continue;
        const fs::path device = DeviceOf(mount.devMajor, mount.devMinor, mount.source);
        if (device.empty() || Contains(seenDevices, device)) continue;
        seenDevices.push_back(device);
        const fs::path disk = BlockDeviceClassifier::DiskOf(device);
        if (Contains(systemDisks, disk) || !classifier_.IsRemovable(disk)) continue;
        disksWithVolumes.push_back(disk);

        const auto uuid = uuids.find(device.filename().string());
        std::string key;
        if (uuid != uuids.end()) {
            key = "uuid " + uuid->second;
        } else {
            std::string number = BlockDeviceClassifier::DeviceNumber(device);
            if (number.empty()) {
                number = std::to_string(mount.devMajor) + ":" + std::to_string(mount.devMinor);
            }
            key = "dev " + number;
        }
        volumes.push_back(Volume{std::move(key), mount.target});
    }

    for (const auto& disk : classifier_.Disks()) {
        if (Contains(disksWithVolumes, disk) || Contains(systemDisks, disk)) continue;
        if (!classifier_.IsRemovable(disk)) continue;
        volumes.push_back(Volume{"disk " + disk.filename().string(), std::nullopt});
    }
    return volumes;
}

MountedDrives::Letters MountedDrives::Lettered() const {
    std::vector<Volume> volumes = Volumes();
    std::vector<std::string> keys;
    keys.reserve(volumes.size());
    for (const auto& volume : volumes) keys.push_back(volume.key);
    const auto letters = letters_.Assign(keys);

    Letters lettered;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        if (letters[i]) lettered.emplace(*letters[i], std::move(volumes[i].mountPoint));
    }
    return lettered;
}

const MountedDrives::Letters& MountedDrives::Rescan() const {
    // Both signs are taken before the look, so that a change made during it
    // shows at the next call. A failed look keeps nothing.
    tableWatch_.Changed();
    lastLook_.reset();
    lastDisks_ = classifier_.DiskListing();
    lastLook_ = Lettered();
    return *lastLook_;
}

fs::path MountedDrives::Root(char letter) const {
    letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (letter == 'C') return "/";
    const std::string name(1, letter);

    // Ask the watch every time: asking is what clears its flag.
    const bool tableChanged = tableWatch_.Changed();
    const bool disksChanged = classifier_.DiskListing() != lastDisks_;
    const Letters& lettered = tableChanged || disksChanged || !lastLook_ ? Rescan() : *lastLook_;
    const auto drive = lettered.find(letter);
    if (drive == lettered.end()) {
        throw NumberedError(ErrorNumber::DeviceUnavailable, "drive " + name + ": does not exist");
    }
    if (!drive->second) {
        throw NumberedError(ErrorNumber::DeviceUnavailable, "drive " + name + ": holds no medium");
    }
    return *drive->second;
}

void MountedDrives::ForEachDrive(const std::function<void(const DriveEntry&)>& visit) {
    const Letters lettered = Rescan();
    visit(DriveEntry{'C', DriveType::Fixed});
    for (const auto& drive : lettered) visit(DriveEntry{drive.first, DriveType::Removable});
}

}  // namespace velmira
