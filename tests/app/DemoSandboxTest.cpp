#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/demo/DemoSandbox.h"
#include "base/BaseModule.h"
#include "drives/DriveLetterSink.h"
#include "drives/RemovableDriveList.h"
#include "drives/SandboxDrives.h"
#include "platform/FolderListing.h"
#include "platform/NumberedError.h"
#include "restore/JobRules.h"
#include "restore/RestoreRun.h"
#include "settings/SitePrefecture.h"
#include "settings/SiteRegion.h"
#include "tests/support/LetterList.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::LetterList;
using testing::ReadAll;
using testing::TempDir;

std::vector<std::string> Names(const std::vector<ListedFile>& files) {
    std::vector<std::string> names;
    for (const auto& file : files) names.push_back(file.name.string());
    return names;
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class DemoSandboxTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = DemoSandbox::Create(parent.path()); }

    TempDir parent;
    fs::path dir;
};

TEST_F(DemoSandboxTest, MakesAPrivateFolderOfItsOwnEachTime) {
    EXPECT_EQ(dir.parent_path(), parent.path());
    EXPECT_EQ(dir.filename().string().rfind("velmira-demo-", 0), 0U);
    EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all, fs::perms::owner_all);

    const fs::path second = DemoSandbox::Create(parent.path());
    EXPECT_NE(second, dir);
    EXPECT_TRUE(fs::exists(dir / "drives.txt"));
}

TEST_F(DemoSandboxTest, SettingsNameIbarakiInShiftJis) {
    for (const char* folder : {"H15", "set", "cb", "kdata"}) {
        EXPECT_TRUE(fs::is_directory(dir / "C" / "Velmira" / folder)) << folder;
    }
    // 茨城県 in code page 932, then a comma: the first field.
    EXPECT_EQ(ReadAll(dir / "C/Velmira/set/info.ini").substr(0, 7), "\x88\xEF\x8F\xE9\x8C\xA7,");

    SandboxDrives drives(dir);
    BaseModule::SitePrefecture.clear();
    LoadSitePrefecture(drives);
    EXPECT_EQ(BaseModule::SitePrefecture, "茨城県");
    EXPECT_EQ(CurrentSiteRegion(), SiteRegion::Ibaraki);
}

TEST_F(DemoSandboxTest, ListsFAndGWithoutMedium) {
    SandboxDrives drives(dir);
    LetterList list;
    RemovableDriveList(list, drives);
    EXPECT_EQ(list.letters, (std::vector<std::string>{"F", "G"}));

    EXPECT_NO_THROW(drives.Root('F'));
    try {
        drives.Root('G');
        FAIL() << "G has a medium";
    } catch (const NumberedError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::DeviceUnavailable);
    }
}

TEST_F(DemoSandboxTest, ChartBackupHoldsEveryRoutedKindAndFilesThatAreSkipped) {
    const auto listed = Names(ListBackupFiles(dir / "F" / "BackUp"));
    std::vector<std::string> toH15;
    std::vector<std::string> toSet;
    std::vector<std::string> notCopied;
    for (const auto& name : listed) {
        const auto destination = DestinationPath(RestoreJob::ChartJob, name);
        if (!destination) {
            notCopied.push_back(name);
        } else if (destination->folders.back() == "H15") {
            toH15.push_back(name);
        } else {
            toSet.push_back(name);
        }
    }
    EXPECT_GE(toH15.size(), 2U);
    EXPECT_TRUE(Contains(toSet, "base.ini"));
    EXPECT_TRUE(Contains(toSet, "tmpl.hxd"));
    EXPECT_TRUE(Contains(toSet, "ini"));
    EXPECT_EQ(notCopied, (std::vector<std::string>{"BASE.INI", "readme.txt"}));

    // On the medium but never listed: a hidden file and a subfolder's file.
    EXPECT_TRUE(fs::exists(dir / "F/BackUp/.hidden.sxd"));
    EXPECT_TRUE(fs::exists(dir / "F/BackUp/old/K9999.sxd"));
    EXPECT_FALSE(Contains(listed, ".hidden.sxd"));
    EXPECT_FALSE(Contains(listed, "old"));
}

TEST_F(DemoSandboxTest, BothJobsRestoreFromIt) {
    SandboxDrives drives(dir);
    testing::RecordingView view;
    RunRestoreJob(RestoreJob::TreatmentBookJob, 'F', view, drives);
    RunRestoreJob(RestoreJob::ChartJob, 'F', view, drives);

    const fs::path velmira = dir / "C" / "Velmira";
    EXPECT_EQ(ReadAll(velmira / "cb/T0001.dat"), ReadAll(dir / "F/BackUp2/T0001.dat"));
    EXPECT_TRUE(fs::exists(velmira / "cb" / fs::path(u8"治療簿一覧.dat")));
    EXPECT_TRUE(fs::exists(velmira / "H15/K0001.sxd"));
    EXPECT_TRUE(fs::exists(velmira / "set/base.ini"));
    EXPECT_TRUE(fs::exists(velmira / "set/tmpl.hxd"));
    EXPECT_FALSE(fs::exists(velmira / "set/BASE.INI"));
    EXPECT_FALSE(fs::exists(velmira / "H15/K9999.sxd"));
    EXPECT_TRUE(fs::is_empty(velmira / "kdata"));
}

}  // namespace
}  // namespace velmira
