#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drives/RemovableDriveList.h"
#include "drives/SandboxDrives.h"
#include "platform/NumberedError.h"
#include "tests/support/LetterList.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

// Yields its drives in order and raises error 57 when it reaches failAt.
class ScriptedSource : public DriveSource {
  public:
    void ForEachDrive(const std::function<void(const DriveEntry&)>& visit) override {
        for (const auto& drive : drives) {
            if (drive.letter == failAt) throw NumberedError(ErrorNumber::DeviceIoError, "drive");
            visit(drive);
        }
    }
    std::vector<DriveEntry> drives;
    char failAt = 0;
};

using Letters = std::vector<std::string>;

TEST(RemovableDriveList, ListsRemovableDrivesButAInSourceOrder) {
    ScriptedSource source;
    source.drives = {{'A', DriveType::Removable}, {'B', DriveType::Removable},
                     {'C', DriveType::Fixed},     {'D', DriveType::Fixed},
                     {'E', DriveType::CdRom},     {'F', DriveType::Removable},
                     {'G', DriveType::Network},   {'H', DriveType::RamDisk},
                     {'I', DriveType::Unknown},   {'J', DriveType::Removable}};
    testing::LetterList sink;
    sink.letters = {"old"};
    RemovableDriveList(sink, source);
    EXPECT_EQ(sink.letters, (Letters{"B", "F", "J"}));
}

TEST(RemovableDriveList, AnErrorStopsTheListingAndKeepsWhatWasAppended) {
    ScriptedSource source;
    source.drives = {{'C', DriveType::Fixed},
                     {'E', DriveType::Removable},
                     {'F', DriveType::Removable},
                     {'G', DriveType::Removable}};
    source.failAt = 'F';
    testing::LetterList sink;
    sink.letters = {"old"};
    try {
        RemovableDriveList(sink, source);
        FAIL() << "no error";
    } catch (const NumberedError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::DeviceIoError);
    }
    EXPECT_EQ(sink.letters, (Letters{"E"}));
}

TEST(RemovableDriveList, SandboxListsRemovableDrivesWithOrWithoutMedium) {
    testing::TempDir dir;
    dir.Write("drives.txt",
              "A removable\nB removable\nC fixed\nD cdrom\nF removable\nG removable\n");
    for (const char* letter : {"A", "B", "C", "D", "F"}) dir.MakeDir(letter);
    SandboxDrives drives(dir.path());
    testing::LetterList sink;
    RemovableDriveList(sink, drives);
    EXPECT_EQ(sink.letters, (Letters{"B", "F", "G"}));
}

}  // namespace
}  // namespace velmira
