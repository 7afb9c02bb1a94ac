#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <string>

#include "drives/MountedDrives.h"
#include "drives/RemovableDriveList.h"
#include "platform/NumberedError.h"
#include "tests/drives/FakeMachine.h"
#include "tests/support/PrivateMountNamespace.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::FakeMachine;

std::string Usb(int port) {
    const std::string host = std::to_string(port + 5);
    return "pci0000:00/0000:00:14.0/usb2/2-" + std::to_string(port) + "/2-" + std::to_string(port) +
           ":1.0/host" + host + "/target" + host + ":0:0/" + host + ":0:0:0/block";
}

std::string Ata(int port) {
    const std::string host = std::to_string(port - 1);
    return "pci0000:00/0000:00:17.0/ata" + std::to_string(port) + "/host" + host + "/target" +
           host + ":0:0/" + host + ":0:0:0/block";
}

const char* const kCardReader =
    "pci0000:00/0000:00:1c.0/0000:02:00.0/mmc_host/mmc0/mmc0:aaaa/block";
const char* const kEmmc = "platform/soc/7e300000.mmc/mmc_host/mmc1/mmc1:0001/block";
const char* const kNvme = "pci0000:00/0000:00:1d.0/0000:03:00.0/nvme/nvme0";

class StringSink : public DriveLetterSink {
  public:
    void Clear() override { letters.clear(); }
    void Append(const std::string& letter) override { letters += letter; }
    std::string letters;
};

ErrorNumber RootError(const DriveRoots& drives, char letter) {
    try {
        drives.Root(letter);
    } catch (const NumberedError& error) {
        return error.number();
    }
    return ErrorNumber{};
}

// A laptop booted from NVMe, with proc and tmpfs mounted as usual.
class MountedDrivesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        machine.AddDisk({"nvme0n1", kNvme, "259:0", "0", ""});
        machine.AddPartition("nvme0n1", "nvme0n1p1", "259:1");
        machine.AddPartition("nvme0n1", "nvme0n1p2", "259:2");
        machine.Mount("nvme0n1p2", "/");
        machine.MountVirtual("0:21", "/proc", "proc");
        machine.Mount("nvme0n1p1", "/boot/efi");
        machine.MountVirtual("0:23", "/run", "tmpfs");
    }

    // A USB stick with one partition, mounted under /media/user.
    void PlugStick(const std::string& disk, int port, int minor, const std::string& uuid) {
        machine.AddDisk({disk, Usb(port), "8:" + std::to_string(minor), "1", "0"});
        machine.AddPartition(disk, disk + "1", "8:" + std::to_string(minor + 1));
        machine.SetUuid(disk + "1", uuid);
        machine.Mount(disk + "1", "/media/user/" + uuid);
    }

    std::string List(MountedDrives& drives) {
        StringSink sink;
        RemovableDriveList(sink, drives);
        return sink.letters;
    }

    MountedDrives Drives() const {
        return MountedDrives(machine.Sys(), machine.MountInfo(), machine.UuidFolder());
    }

    FakeMachine machine;
};

TEST_F(MountedDrivesTest, RemovableMeansWhatWindowsCallsRemovable) {
    struct Case {
        FakeMachine::Disk disk;
        bool partitioned;
        bool removable;
    };
    const Case cases[] = {
        {{"sdb", Usb(1), "8:16", "1", "0"}, true, true},             // USB stick
        {{"sdc", Usb(2), "8:32", "0", "0"}, true, false},            // USB hard disk
        {{"sdd", Usb(3), "8:48", "1", "0"}, true, true},             // SD card, USB reader
        {{"mmcblk0", kCardReader, "179:0", "0", "SD"}, true, true},  // SD card, built-in
        {{"mmcblk1", kEmmc, "179:8", "0", "MMC"}, true, false},      // eMMC
        {{"sr0", Ata(2), "11:0", "1", "5"}, false, false},           // DVD drive
        {{"sr1", Usb(4), "11:1", "1", "5"}, false, false},           // USB DVD drive
        {{"fd0", "platform/floppy.0/block", "2:0", "1", ""}, false, false},
        {{"loop0", "virtual/block", "7:0", "0", ""}, false, false},
        {{"zram0", "virtual/block", "252:0", "1", ""}, false, false},
        {{"sda", Ata(3), "8:0", "1", "0"}, true, false},   // hot-plug SATA port
        {{"sde", Usb(5), "8:64", "1", "0"}, false, true},  // file system on the disk
    };
    for (const auto& item : cases) {
        machine.AddDisk(item.disk);
        std::string device = item.disk.name;
        if (item.partitioned) {
            device += item.disk.name.back() >= '0' && item.disk.name.back() <= '9' ? "p1" : "1";
            const auto colon = item.disk.number.find(':');
            const int minor = std::stoi(item.disk.number.substr(colon + 1)) + 1;
            machine.AddPartition(item.disk.name, device,
                                 item.disk.number.substr(0, colon + 1) + std::to_string(minor));
        }
        machine.Mount(device, "/media/user/" + device);
    }

    const BlockDeviceClassifier classifier(machine.Sys());
    for (const auto& item : cases) {
        const fs::path disk = classifier.DeviceFolderNamed(item.disk.name);
        ASSERT_FALSE(disk.empty()) << item.disk.name;
        EXPECT_EQ(classifier.IsRemovable(disk), item.removable) << item.disk.name;
    }
    EXPECT_FALSE(classifier.IsRemovable(classifier.DeviceFolderNamed("nvme0n1")));

    // The same machine as a drive list: removable volumes in mount order.
    MountedDrives drives = Drives();
    EXPECT_EQ(List(drives), "DEFG");
    EXPECT_EQ(drives.Root('D'), "/media/user/sdb1");
    EXPECT_EQ(drives.Root('E'), "/media/user/sdd1");
    EXPECT_EQ(drives.Root('F'), "/media/user/mmcblk0p1");
    EXPECT_EQ(drives.Root('G'), "/media/user/sde");
    EXPECT_EQ(RootError(drives, 'H'), ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(drives.Root('C'), "/");
    EXPECT_EQ(drives.CurrentDrive(), 'C');
}

TEST_F(MountedDrivesTest, MountPointWithSpaceAndJapaneseIsDecoded) {
    machine.AddDisk({"sdb", Usb(1), "8:16", "1", "0"});
    machine.AddPartition("sdb", "sdb1", "8:17");
    const std::string target = "/media/user/USB データ\t2";
    machine.Mount("sdb1", target);
    const std::string table = testing::ReadAll(machine.MountInfo());
    ASSERT_NE(table.find("USB\\040データ\\0112"), std::string::npos) << table;

    MountedDrives drives = Drives();
    EXPECT_EQ(List(drives), "D");
    EXPECT_EQ(drives.Root('D'), fs::path(target));
    EXPECT_EQ(drives.ToNative(DrivePath{'D', {"BackUp"}, std::nullopt}),
              fs::path(target) / "BackUp");
}

TEST_F(MountedDrivesTest, SubfolderBindsAndRepeatedMountsAreOneVolume) {
    machine.AddDisk({"sdb", Usb(1), "8:16", "1", "0"});
    machine.AddPartition("sdb", "sdb1", "8:17");
    // Mount table order: a bind of a subfolder, the stick, the stick again.
    machine.Mount("sdb1", "/srv/backup", "/BackUp");
    machine.Mount("sdb1", "/media/user/STICK");
    machine.Mount("sdb1", "/mnt/again");
    MountedDrives drives = Drives();
    EXPECT_EQ(List(drives), "D");
    EXPECT_EQ(drives.Root('D'), "/media/user/STICK");
}

// Two sticks get D, then E.
TEST_F(MountedDrivesTest, LettersAreKeptWhileVolumesStayAndFreedOnesReused) {
    PlugStick("sdb", 1, 16, "AAAA-0001");
    PlugStick("sdc", 2, 32, "BBBB-0002");
    MountedDrives drives = Drives();
    EXPECT_EQ(List(drives), "DE");
    EXPECT_EQ(drives.Root('D'), "/media/user/AAAA-0001");

    machine.Unplug("sdb");
    EXPECT_EQ(List(drives), "E");
    EXPECT_EQ(RootError(drives, 'D'), ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(drives.Root('E'), "/media/user/BBBB-0002");

    PlugStick("sdd", 3, 48, "CCCC-0003");
    EXPECT_EQ(List(drives), "DE");
    EXPECT_EQ(drives.Root('D'), "/media/user/CCCC-0003");

    // The first stick comes back: it is a newcomer now.
    PlugStick("sdb", 1, 16, "AAAA-0001");
    EXPECT_EQ(List(drives), "DEF");
    EXPECT_EQ(drives.Root('F'), "/media/user/AAAA-0001");
}

TEST_F(MountedDrivesTest, AVolumeIsKnownByItsUuidAcrossDeviceNumbers) {
    PlugStick("sdb", 1, 16, "AAAA-0001");
    MountedDrives drives = Drives();
    EXPECT_EQ(List(drives), "D");

    // Between two looks the stick is re-enumerated as sdh, after a new
    // stick appeared on sdg: the stick keeps D, the newcomer gets E.
    machine.Unplug("sdb");
    PlugStick("sdg", 2, 96, "GGGG-0007");
    PlugStick("sdh", 1, 112, "AAAA-0001");
    EXPECT_EQ(List(drives), "DE");
    EXPECT_EQ(drives.Root('D'), "/media/user/AAAA-0001");
    EXPECT_EQ(drives.Root('E'), "/media/user/GGGG-0007");
}

TEST_F(MountedDrivesTest, WithoutUuidTheDeviceNumberIsTheKey) {
    machine.AddDisk({"sdb", Usb(1), "8:16", "1", "0"});
    machine.AddPartition("sdb", "sdb1", "8:17");
    machine.Mount("sdb1", "/media/user/ONE");
    MountedDrives drives = Drives();
    EXPECT_EQ(List(drives), "D");
    // Mounted again elsewhere: the same volume, the same letter, the new place.
    machine.Unplug("sdb");
    PlugStick("sdc", 2, 32, "BBBB-0002");
    machine.AddDisk({"sdb", Usb(1), "8:16", "1", "0"});
    machine.AddPartition("sdb", "sdb1", "8:17");
    machine.Mount("sdb1", "/media/user/TWO");
    EXPECT_EQ(List(drives), "DE");
    EXPECT_EQ(drives.Root('D'), "/media/user/TWO");
}

TEST_F(MountedDrivesTest, RemovableDiskWithoutMountedFileSystemHasNoMedium) {
    PlugStick("sdb", 1, 16, "AAAA-0001");
    // An empty slot of a USB card reader, and a stick nobody mounted.
    machine.AddDisk({"sdc", Usb(2), "8:32", "1", "0"});
    machine.AddDisk({"sdd", Usb(3), "8:48", "1", "0"});
    machine.AddPartition("sdd", "sdd1", "8:49");
    MountedDrives drives = Drives();
    EXPECT_EQ(List(drives), "DEF");
    EXPECT_EQ(drives.Root('D'), "/media/user/AAAA-0001");
    EXPECT_EQ(RootError(drives, 'E'), ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(RootError(drives, 'F'), ErrorNumber::DeviceUnavailable);
    EXPECT_THROW(drives.ToNative(DrivePath{'E', {"BackUp"}, std::nullopt}), NumberedError);

    // A card goes into the slot and is mounted: the slot's letter is free
    // again and the card takes it.
    machine.AddPartition("sdc", "sdc1", "8:33");
    machine.SetUuid("sdc1", "CARD-0001");
    machine.Mount("sdc1", "/media/user/CARD");
    EXPECT_EQ(List(drives), "DEF");
    EXPECT_EQ(drives.Root('E'), "/media/user/CARD");
}

TEST_F(MountedDrivesTest, TheSystemDiskIsNeverListed) {
    // Booted from a USB stick: its data partition is not offered either.
    FakeMachine live;
    live.AddDisk({"sdb", Usb(1), "8:16", "1", "0"});
    live.AddPartition("sdb", "sdb1", "8:17");
    live.AddPartition("sdb", "sdb2", "8:18");
    live.Mount("sdb1", "/");
    live.Mount("sdb2", "/media/user/DATA");
    MountedDrives booted(live.Sys(), live.MountInfo(), live.UuidFolder());
    EXPECT_EQ(List(booted), "");

    // The same with / on an encrypted mapper device over the stick.
    FakeMachine mapped;
    mapped.AddDisk({"sdb", Usb(1), "8:16", "1", "0"});
    mapped.AddPartition("sdb", "sdb1", "8:17");
    mapped.AddPartition("sdb", "sdb2", "8:18");
    mapped.AddDisk({"dm-0", "virtual/block", "253:0", "0", ""});
    mapped.AddSlave("dm-0", "sdb2");
    mapped.Mount("dm-0", "/");
    mapped.Mount("sdb1", "/boot");
    MountedDrives encrypted(mapped.Sys(), mapped.MountInfo(), mapped.UuidFolder());
    EXPECT_EQ(List(encrypted), "");

    // A second stick on that machine is listed.
    mapped.AddDisk({"sdc", Usb(2), "8:32", "1", "0"});
    mapped.AddPartition("sdc", "sdc1", "8:33");
    mapped.Mount("sdc1", "/media/user/BACKUP");
    EXPECT_EQ(List(encrypted), "D");
}

TEST_F(MountedDrivesTest, RootSeesEachChangeOfTheTableAtOnce) {
    PlugStick("sdb", 1, 16, "AAAA-0001");
    MountedDrives drives = Drives();
    EXPECT_EQ(List(drives), "D");
    EXPECT_EQ(drives.Root('D'), "/media/user/AAAA-0001");
    EXPECT_EQ(drives.Root('D'), "/media/user/AAAA-0001");

    // Mounted elsewhere in the same instant, by a line of the same length.
    machine.Unmount("/media/user/AAAA-0001");
    machine.Mount("sdb1", "/media/user/ZZZZ-0001");
    EXPECT_EQ(drives.Root('D'), "/media/user/ZZZZ-0001");

    machine.Unmount("/media/user/ZZZZ-0001");
    EXPECT_EQ(RootError(drives, 'D'), ErrorNumber::DeviceUnavailable);
    machine.Mount("sdb1", "/media/user/AAAA-0001");
    EXPECT_EQ(drives.Root('D'), "/media/user/AAAA-0001");
}

TEST_F(MountedDrivesTest, RootSeesDisksComeAndGoWithoutTheTableChanging) {
    PlugStick("sdb", 1, 16, "AAAA-0001");
    MountedDrives drives = Drives();
    EXPECT_EQ(drives.Root('D'), "/media/user/AAAA-0001");

    // A card reader nothing mounts takes its letter at the next look, as
    // before any mount that follows.
    machine.AddDisk({"sdc", Usb(2), "8:32", "1", "0"});
    EXPECT_EQ(drives.Root('D'), "/media/user/AAAA-0001");
    PlugStick("sdd", 3, 48, "DDDD-0004");
    EXPECT_EQ(drives.Root('F'), "/media/user/DDDD-0004");
    EXPECT_EQ(List(drives), "DEF");

    // A stick pulled out before it was unmounted.
    machine.Pull("sdd");
    EXPECT_EQ(RootError(drives, 'F'), ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(drives.Root('D'), "/media/user/AAAA-0001");
}

TEST_F(MountedDrivesTest, OnTheKernelsTableRootFollowsMountsMovesAndUnmounts) {
    testing::TempDir dir;
    const fs::path first = dir.MakeDir("first");
    const fs::path second = dir.MakeDir("second");
    const auto failure = testing::InPrivateMountNamespace([&]() -> std::string {
        if (::mount("none", first.c_str(), "tmpfs", 0, nullptr) != 0) return "mount failed";
        // The file system stands in for a stick that holds it on the whole disk.
        struct stat mounted {};
        if (::stat(first.c_str(), &mounted) != 0) return "stat failed";
        machine.AddDisk(
            {"sdb", Usb(1),
             std::to_string(major(mounted.st_dev)) + ":" + std::to_string(minor(mounted.st_dev)),
             "1", "0"});
        MountedDrives drives(machine.Sys(), "/proc/self/mountinfo", machine.UuidFolder());
        if (drives.Root('D') != first) return "D is not the first mount point";
        if (drives.Root('D') != first) return "D moved by itself";
        if (::mount(first.c_str(), second.c_str(), nullptr, MS_MOVE, nullptr) != 0) {
            return "move failed";
        }
        if (drives.Root('D') != second) return "D did not follow the move";
        if (::umount(second.c_str()) != 0) return "umount failed";
        if (RootError(drives, 'D') != ErrorNumber::DeviceUnavailable) return "D outlived its mount";
        return "";
    });
    if (!failure) GTEST_SKIP() << "no private mount namespace on this machine";
    EXPECT_EQ(*failure, "");
}

TEST_F(MountedDrivesTest, UnreadableMountTableIsAnErrorButNot68) {
    PlugStick("sdb", 1, 16, "AAAA-0001");
    MountedDrives drives(machine.Sys(), machine.MountInfo().string() + ".gone",
                         machine.UuidFolder());
    StringSink sink;
    sink.letters = "old";
    try {
        RemovableDriveList(sink, drives);
        FAIL() << "no error";
    } catch (const NumberedError& error) {
        EXPECT_NE(error.number(), ErrorNumber::DeviceUnavailable);
    }
    EXPECT_EQ(sink.letters, "");
    EXPECT_EQ(drives.Root('C'), "/");
    EXPECT_THROW(drives.Root('D'), NumberedError);
}

TEST(MountedDrivesOnThisMachine, ListsNoSystemLettersAndResolvesEachLetter) {
    MountedDrives drives;
    StringSink sink;
    ASSERT_NO_THROW(RemovableDriveList(sink, drives));
    // A build machine normally has no removable disk; one that has may list
    // it, but never A, B or C, and each letter is a mount point or 68.
    EXPECT_EQ(sink.letters.find_first_of("ABC"), std::string::npos) << sink.letters;
    for (const char letter : sink.letters) {
        try {
            EXPECT_TRUE(drives.Root(letter).is_absolute());
        } catch (const NumberedError& error) {
            EXPECT_EQ(error.number(), ErrorNumber::DeviceUnavailable);
        }
    }
    EXPECT_EQ(drives.Root('C'), "/");
}

}  // namespace
}  // namespace velmira
