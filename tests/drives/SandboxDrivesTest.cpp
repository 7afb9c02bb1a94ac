#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drives/SandboxDrives.h"
#include "platform/NumberedError.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;

std::string Drives(SandboxDrives& drives) {
    std::string text;
    drives.ForEachDrive([&text](const DriveEntry& drive) {
        text += std::string(1, drive.letter) + std::to_string(static_cast<int>(drive.type)) + " ";
    });
    return text;
}

ErrorNumber RootError(const SandboxDrives& drives, char letter) {
    try {
        drives.Root(letter);
    } catch (const NumberedError& error) {
        return error.number();
    }
    return ErrorNumber{};
}

TEST(SandboxDrives, WithoutListCIsFixedAndOtherLetterFoldersRemovable) {
    testing::TempDir dir;
    for (const char* name : {"C", "E", "D", "f", "AB", "Velmira"}) dir.MakeDir(name);
    dir.Write("G", "a file, not a drive");
    SandboxDrives drives(dir.path());

    EXPECT_EQ(Drives(drives), "C2 D1 E1 ");
    EXPECT_EQ(drives.Root('C'), dir.path() / "C");
    EXPECT_EQ(drives.Root('E'), dir.path() / "E");
    EXPECT_EQ(RootError(drives, 'G'), ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(RootError(drives, 'F'), ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(drives.CurrentDrive(), 'C');
}

TEST(SandboxDrives, ListedDriveWithoutFolderHasNoMedium) {
    testing::TempDir dir;
    dir.Write("drives.txt", "C fixed\nD cdrom\nE removable\nF network\nH ramdisk\n");
    dir.MakeDir("C");
    dir.MakeDir("D");
    dir.MakeDir("G/BackUp");  // not listed, so not a drive
    SandboxDrives drives(dir.path());

    EXPECT_EQ(Drives(drives), "C2 D4 E1 F3 H5 ");
    EXPECT_EQ(drives.Root('D'), dir.path() / "D");
    EXPECT_EQ(RootError(drives, 'E'), ErrorNumber::DeviceUnavailable);
    EXPECT_EQ(RootError(drives, 'G'), ErrorNumber::DeviceUnavailable);

    // A missing folder on a present medium is for whoever opens it to find.
    DrivePath backup{'D', {"BackUp"}, std::nullopt};
    EXPECT_EQ(drives.ToNative(backup), dir.path() / "D" / "BackUp");
    backup.letter = 'E';
    EXPECT_THROW(drives.ToNative(backup), NumberedError);

    // The medium is looked for at each use.
    dir.MakeDir("E");
    EXPECT_EQ(drives.Root('E'), dir.path() / "E");
}

TEST(SandboxDrives, AcceptsBlankLinesTabsAndCrLf) {
    testing::TempDir dir;
    dir.Write("drives.txt", "\r\n  C\tfixed  \r\n\n\t\nE   removable\r\n");
    SandboxDrives drives(dir.path());
    EXPECT_EQ(Drives(drives), "C2 E1 ");
}

TEST(SandboxDrives, RejectsMalformedListNamingTheLine) {
    struct Case {
        const char* text;
        const char* line;
    };
    const Case cases[] = {
        {"C fixed\nD floppy\n", "line 2: "},
        {"c fixed\n", "line 1: "},
        {"C fixed\nDE removable\n", "line 2: "},
        {"C: fixed\n", "line 1: "},
        {"C fixed\n\nE\n", "line 3: "},
        {"C fixed removable\n", "line 1: "},
        {"C Fixed\n", "line 1: "},
        {"C fixed\nD removable\nC removable\n", "line 3: "},
        {"1 fixed\n", "line 1: "},
    };
    for (const auto& item : cases) {
        testing::TempDir dir;
        dir.Write("drives.txt", item.text);
        try {
            SandboxDrives drives(dir.path());
            ADD_FAILURE() << "accepted: " << item.text;
        } catch (const NumberedError& error) {
            EXPECT_EQ(error.number(), ErrorNumber::PathFileAccessError) << item.text;
            EXPECT_NE(error.detail().find(item.line), std::string::npos) << error.detail();
            EXPECT_NE(error.detail().find("drives.txt"), std::string::npos) << error.detail();
        }
    }

    // The offending text is quoted.
    testing::TempDir dir;
    dir.Write("drives.txt", "C fixed\nD floppy\n");
    try {
        SandboxDrives drives(dir.path());
    } catch (const NumberedError& error) {
        EXPECT_NE(error.detail().find("\"D floppy\""), std::string::npos) << error.detail();
    }
}

TEST(SandboxDrives, ListSpoiledAfterStartIsReportedAtUse) {
    testing::TempDir dir;
    dir.Write("drives.txt", "C fixed\n");
    SandboxDrives drives(dir.path());
    dir.Write("drives.txt", "C fixed\nD\n");
    EXPECT_THROW(Drives(drives), NumberedError);
    EXPECT_THROW(drives.Root('C'), NumberedError);
}

TEST(SandboxDrives, MissingFolderIsRejected) {
    testing::TempDir dir;
    try {
        SandboxDrives drives(dir.path() / "nowhere");
        FAIL() << "accepted";
    } catch (const NumberedError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::PathNotFound);
    }
}

}  // namespace
}  // namespace velmira
