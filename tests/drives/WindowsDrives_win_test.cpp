#include "drives/WindowsDrives_win.h"

#include <gtest/gtest.h>
#include <windows.h>

// winbase.h defines Yield() as nothing, which would erase ProgressView::Yield.
#undef Yield

#include <functional>
#include <map>

#include "base/BaseModule.h"
#include "drives/RemovableDriveList.h"
#include "platform/NumberedError.h"
#include "restore/RestoreRun.h"
#include "settings/SitePrefecture.h"
#include "settings/SiteRegion.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/LetterList.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPlatform.h"

// These tests use the drives of the Wine prefix that scripts/test-windows
// makes: A removable, C fixed, D CD-ROM, F removable (each with a medium)
// and G removable without one.
namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::ErrorOf;
using testing::ReadAll;

// Runs the test body in another current folder and goes back afterwards.
class CurrentFolder {
  public:
    explicit CurrentFolder(const wchar_t* folder) : previous_(fs::current_path()) {
        EXPECT_TRUE(::SetCurrentDirectoryW(folder));
    }
    ~CurrentFolder() { fs::current_path(previous_); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

  private:
    fs::path previous_;
};

class WindowsDrivesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testing::WineDrivesPresent()) {
            GTEST_SKIP() << "needs the drives of the Wine prefix made by scripts/test-windows";
        }
    }
    WindowsDrives drives;
};

TEST_F(WindowsDrivesTest, ReportsEachDriveWithItsTypeInLetterOrder) {
    std::map<char, DriveType> seen;
    char previous = '@';
    drives.ForEachDrive([&](const DriveEntry& entry) {
        EXPECT_GT(entry.letter, previous);
        previous = entry.letter;
        seen[entry.letter] = entry.type;
    });
    EXPECT_EQ(seen.at('A'), DriveType::Removable);
    EXPECT_EQ(seen.at('C'), DriveType::Fixed);
    EXPECT_EQ(seen.at('D'), DriveType::CdRom);
    EXPECT_EQ(seen.at('F'), DriveType::Removable);
    // A drive without a medium is still there, as Windows shows a card
    // reader with no card.
    EXPECT_EQ(seen.at('G'), DriveType::Removable);
}

TEST_F(WindowsDrivesTest, TheDriveListOffersRemovableDrivesButNeverA) {
    testing::LetterList sink;
    sink.letters = {"stale"};
    RemovableDriveList(sink, drives);
    EXPECT_EQ(sink.letters, (std::vector<std::string>{"F", "G"}));
}

TEST_F(WindowsDrivesTest, AMissingDriveOrMediumIsDeviceUnavailable) {
    EXPECT_EQ(drives.Root('F'), fs::path(L"F:\\"));
    EXPECT_EQ(drives.Root('D'), fs::path(L"D:\\"));
    EXPECT_EQ(ErrorOf([&] { drives.Root('G'); }), 68);
    EXPECT_EQ(ErrorOf([&] { drives.Root('Q'); }), 68);
    EXPECT_EQ(ErrorOf([&] { drives.Root('f'); }), 68);
    // A missing folder on a present medium is not 68.
    EXPECT_EQ(ErrorOf([&] {
                  testing::RecordingView view;
                  RunRestoreJob(RestoreJob::ChartJob, 'F', view, drives);
              }),
              76);
    EXPECT_EQ(ErrorOf([&] {
                  testing::RecordingView view;
                  RunRestoreJob(RestoreJob::ChartJob, 'G', view, drives);
              }),
              68);
}

TEST_F(WindowsDrivesTest, TheSettingsFileIsReadOnTheCurrentDriveAsCodePage932) {
    // 茨城県 as code page 932 writes it, then the rest of the line.
    testing::WriteFile(L"F:\\Velmira\\set\\info.ini",
                       "\x88\xEF\x8F\xE9\x8C\xA7,0123\r\n[other]\r\n");
    {
        CurrentFolder onF(L"F:\\");
        EXPECT_EQ(drives.CurrentDrive(), 'F');
        LoadSitePrefecture(drives);
    }
    EXPECT_EQ(BaseModule::SitePrefecture, "茨城県");
    EXPECT_EQ(CurrentSiteRegion(), SiteRegion::Ibaraki);
    fs::remove_all(L"F:\\Velmira");

    // No settings folder on the current drive.
    CurrentFolder onA(L"A:\\");
    EXPECT_EQ(drives.CurrentDrive(), 'A');
    EXPECT_EQ(ErrorOf([&] { LoadSitePrefecture(drives); }), 76);
}

TEST_F(WindowsDrivesTest, RestoresFromTheRemovableDriveOntoC) {
    testing::WriteFile(L"F:\\BackUp2\\a.dat", "new a");
    testing::WriteFile(L"F:\\BackUp2\\b.dat", "new b");
    testing::WriteFile(L"C:\\Velmira\\cb\\a.dat", "old a");
    testing::RecordingView view;
    RunRestoreJob(RestoreJob::TreatmentBookJob, 'F', view, drives);
    EXPECT_EQ(ReadAll(L"C:\\Velmira\\cb\\a.dat"), "new a");
    EXPECT_EQ(ReadAll(L"C:\\Velmira\\cb\\b.dat"), "new b");
    EXPECT_EQ(ReadAll(L"F:\\BackUp2\\a.dat"), "new a");
    EXPECT_TRUE(view.instructionsVisible);
    fs::remove_all(L"F:\\BackUp2");
    fs::remove_all(L"C:\\Velmira");
}

}  // namespace
}  // namespace velmira
