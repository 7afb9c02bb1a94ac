#include <gtest/gtest.h>

#include <functional>

#include "restore/RestoreRun.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPlatform.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::FolderDrives;
using testing::ReadAll;
using testing::RecordingView;
using testing::TempDir;

using Log = std::vector<std::string>;

class RestoreRunTest : public ::testing::Test {
  protected:
    RestoreRunTest() {
        drives.roots['C'] = dir.MakeDir("C");
        drives.roots['F'] = dir.MakeDir("F");
        for (const char* folder : {"H15", "set", "cb", "kdata"}) {
            dir.MakeDir(fs::path("C/Velmira") / folder);
        }
    }

    // Runs the job and returns the error number, 0 when it ended normally.
    int Run(RestoreJob job, char letter = 'F') {
        try {
            RunRestoreJob(job, letter, view, drives);
        } catch (const NumberedError& error) {
            return error.code();
        }
        return 0;
    }

    std::string Chart(const std::string& relative) const {
        return ReadAll(dir.path() / "C/Velmira" / relative);
    }

    std::vector<std::string> Entries(const std::string& relative) const {
        return testing::FolderEntries(dir.path() / relative);
    }

    // After a medium pulled out as a.sxd's step is shown: a.sxd restored if
    // its copy was made by then (the copies run a few files ahead of the
    // bar or behind it), b.sxd and c.sxd as they were, nothing left.
    void ExpectRestoredUpToB(const std::string& newA, const std::string& oldB) const {
        const std::vector<std::string> entries = Entries("C/Velmira/H15");
        if (entries.front() == "a.sxd") {
            EXPECT_EQ(Chart("H15/a.sxd"), newA);
        }
        EXPECT_EQ(Chart("H15/b.sxd"), oldB);
        EXPECT_EQ(entries.back(), "b.sxd");
        EXPECT_LE(entries.size(), 2U);
    }

    TempDir dir;
    FolderDrives drives;
    RecordingView view;
};

TEST_F(RestoreRunTest, ChartJobRoutesEachFileAndGrowsTheBarForSkippedOnesToo) {
    std::vector<std::string> names{"K0001.sxd", "base.ini", "tmpl.hxd", "readme.txt", "ini"};
    if (testing::kNamesDifferByCase) names.push_back("BASE.INI");
    for (const auto& name : names) {
        dir.Write(fs::path("F/BackUp") / name, "backup of " + name);
    }
    testing::MarkHidden(dir.Write("F/BackUp/.hidden.sxd", "hidden"));
    dir.Write("F/BackUp/sub/K0002.sxd", "in a subfolder");
    dir.Write("C/Velmira/H15/K0001.sxd", "older chart");

    ASSERT_EQ(Run(RestoreJob::ChartJob), 0);

    EXPECT_EQ(Chart("H15/K0001.sxd"), "backup of K0001.sxd");
    EXPECT_EQ(Chart("set/base.ini"), "backup of base.ini");
    EXPECT_EQ(Chart("set/tmpl.hxd"), "backup of tmpl.hxd");
    EXPECT_EQ(Chart("set/ini"), "backup of ini");
    EXPECT_EQ(Entries("C/Velmira/H15"), (std::vector<std::string>{"K0001.sxd"}));
    EXPECT_EQ(Entries("C/Velmira/set"), (std::vector<std::string>{"base.ini", "ini", "tmpl.hxd"}));
    EXPECT_EQ(ReadAll(dir.path() / "F/BackUp/K0001.sxd"), "backup of K0001.sxd");

    // The panel switch comes before the arithmetic; one step per listed file.
    Log expected{"list 0", "caption カルテデータを復元中････", "yield", "show progress", "fill"};
    for (std::size_t i = 0; i < names.size(); ++i)
        expected.insert(expected.end(), {"fill", "yield"});
    expected.push_back("show instructions");
    EXPECT_EQ(view.log, expected);
    EXPECT_NEAR(view.fill, 1.0F + 3585.0F, 0.01F);
    EXPECT_TRUE(view.instructionsVisible);
    EXPECT_FALSE(view.progressVisible);
}

TEST_F(RestoreRunTest, ThreeFilesGrowTheBarInSinglePrecisionThirds) {
    for (const char* name : {"a.dat", "b.dat", "c.dat"})
        dir.Write(fs::path("F/BackUp2") / name, name);

    ASSERT_EQ(Run(RestoreJob::TreatmentBookJob), 0);

    EXPECT_EQ(view.log,
              (Log{"list 1", "caption 治療簿データを復元中････", "fill", "yield", "show progress",
                   "fill", "yield", "fill", "yield", "fill", "yield", "show instructions"}));
    const float step = 3585.0F / 3.0F;
    ASSERT_EQ(view.fillAfterYield.size(), 4U);
    EXPECT_EQ(view.fillAfterYield[0], 1.0F);
    EXPECT_EQ(view.fillAfterYield[1], 1.0F + step);
    EXPECT_EQ(view.fillAfterYield[2], 1.0F + step + step);
    EXPECT_EQ(view.fillAfterYield[3], 1.0F + step + step + step);
    EXPECT_NEAR(view.fill, 3586.0F, 0.001F);
    EXPECT_EQ(Entries("C/Velmira/cb"), (std::vector<std::string>{"a.dat", "b.dat", "c.dat"}));
}

TEST_F(RestoreRunTest, TheBarIsReadBackFromTheViewBeforeEachStep) {
    dir.Write("F/BackUp2/a.dat", "a");
    dir.Write("F/BackUp2/b.dat", "b");
    view.onYield = [&](int yield) {
        if (yield == 1) view.fill = 100.0F;  // as a view that rounds would
    };
    ASSERT_EQ(Run(RestoreJob::CertificateJob), 0);
    EXPECT_EQ(view.fill, 100.0F + 3585.0F / 2.0F);
    EXPECT_EQ(Entries("C/Velmira/kdata"), (std::vector<std::string>{"a.dat", "b.dat"}));
}

TEST_F(RestoreRunTest, AnEmptyFolderIsADivisionByZeroWhereEachJobComputesTheStep) {
    dir.MakeDir("F/BackUp");
    dir.MakeDir("F/BackUp2");
    testing::MarkHidden(dir.Write("F/BackUp/.only-hidden.sxd", "h"));

    EXPECT_EQ(Run(RestoreJob::TreatmentBookJob), 11);
    EXPECT_EQ(view.log, (Log{"list 1", "caption 治療簿データを復元中････"}));
    EXPECT_TRUE(view.progressVisible && view.instructionsVisible);  // panels as they were

    view.log.clear();
    EXPECT_EQ(Run(RestoreJob::ChartJob), 11);
    EXPECT_EQ(view.log,
              (Log{"list 0", "caption カルテデータを復元中････", "yield", "show progress"}));
    EXPECT_TRUE(view.progressVisible);
    EXPECT_FALSE(view.instructionsVisible);
}

TEST_F(RestoreRunTest, AFailureAtTheSecondOfThreeFilesHarmsNothing) {
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) {
        dir.Write(fs::path("F/BackUp2") / name, std::string("new ") + name);
    }
    const fs::path locked = dir.Write("C/Velmira/cb/b.dat", "old b.dat");
    fs::permissions(locked, fs::perms::owner_read);

    EXPECT_EQ(Run(RestoreJob::TreatmentBookJob), 75);

    EXPECT_EQ(Chart("cb/a.dat"), "new a.dat");
    EXPECT_EQ(Chart("cb/b.dat"), "old b.dat");
    EXPECT_EQ(Entries("C/Velmira/cb"), (std::vector<std::string>{"a.dat", "b.dat"}));
    EXPECT_TRUE(view.progressVisible);
    EXPECT_FALSE(view.instructionsVisible);
    EXPECT_EQ(view.log.back(), "yield");  // after the first file, nothing more
}

TEST_F(RestoreRunTest, APulledMediumStopsTheRunAtTheMissingFile) {
    for (const char* name : {"a.sxd", "b.sxd", "c.sxd"})
        dir.Write(fs::path("F/BackUp") / name, name);
    dir.Write("C/Velmira/H15/b.sxd", "old b");
    view.onYield = [&](int yield) {
        if (yield == 1) fs::remove_all(dir.path() / "F/BackUp");
    };
    // Linux finds the file missing (53); Windows finds its folder gone (76).
    const int error = Run(RestoreJob::ChartJob);
    EXPECT_TRUE(error == 53 || error == 76) << error;
    ExpectRestoredUpToB("a.sxd", "old b");
}

// Each change to b.sxd after the listing: the run stops at b with an
// error, a.sxd restored, b's old file as it was, c not attempted.
TEST_F(RestoreRunTest, ASourceChangedAfterTheListingStopsTheRunAtThatFile) {
    const std::vector<std::pair<const char*, std::function<void(const fs::path&)>>> changes{
        {"removed", [](const fs::path& file) { fs::remove(file); }},
        {"truncated", [](const fs::path& file) { fs::resize_file(file, 2); }},
        {"grown", [](const fs::path& file) { testing::WriteFile(file, "new b, grown"); }},
    };
    for (const auto& [change, apply] : changes) {
        for (const char* name : {"a.sxd", "b.sxd", "c.sxd"}) {
            dir.Write(fs::path("F/BackUp") / name, std::string("new ") + name);
            dir.Write(fs::path("C/Velmira/H15") / name, std::string("old ") + name);
        }
        view = RecordingView();
        view.onYield = [&, apply = apply](int yield) {
            if (yield == 0) apply(dir.path() / "F/BackUp/b.sxd");
        };
        const int error = Run(RestoreJob::ChartJob);
        EXPECT_TRUE(error == 57 || (error == 53 && change == std::string("removed")))
            << change << ": " << error;
        EXPECT_EQ(Chart("H15/a.sxd"), "new a.sxd") << change;
        EXPECT_EQ(Chart("H15/b.sxd"), "old b.sxd") << change;
        EXPECT_EQ(Chart("H15/c.sxd"), "old c.sxd") << change;
        EXPECT_EQ(Entries("C/Velmira/H15"), (std::vector<std::string>{"a.sxd", "b.sxd", "c.sxd"}))
            << change;
    }
}

// The whole drive goes between two files, as when the stick is pulled out.
TEST_F(RestoreRunTest, AMediumPulledOutBetweenFilesIsDeviceUnavailable) {
    for (const char* name : {"a.sxd", "b.sxd", "c.sxd"})
        dir.Write(fs::path("F/BackUp") / name, std::string("new ") + name);
    dir.Write("C/Velmira/H15/b.sxd", "old b.sxd");
    view.onYield = [&](int yield) {
        if (yield != 1) return;
        drives.roots.erase('F');
        fs::remove_all(dir.path() / "F");
    };
    EXPECT_EQ(Run(RestoreJob::ChartJob), 68);
    ExpectRestoredUpToB("new a.sxd", "old b.sxd");
    EXPECT_TRUE(view.progressVisible);
}

TEST_F(RestoreRunTest, AnAbsentDriveIsDeviceUnavailableAndAMissingFolderIsNot) {
    EXPECT_EQ(Run(RestoreJob::ChartJob, 'G'), 68);
    EXPECT_EQ(Run(RestoreJob::ChartJob, 'F'), 76);
    EXPECT_EQ(Run(RestoreJob::CertificateJob, 'F'), 76);
    // Only the two listings on F were attempted; the absent G got no further.
    EXPECT_EQ(view.log, (Log{"list 0", "list 1"}));
}

TEST_F(RestoreRunTest, AMissingDestinationFolderIsNeverCreated) {
    dir.Write("F/BackUp2/a.dat", "a");
    fs::remove(dir.path() / "C/Velmira/kdata");
    EXPECT_EQ(Run(RestoreJob::CertificateJob), 76);
    EXPECT_FALSE(fs::exists(dir.path() / "C/Velmira/kdata"));
}

TEST_F(RestoreRunTest, NamesThatAreNotUtf8OrHoldABackslashAreCopiedToTheSameName) {
#ifndef __linux__
    GTEST_SKIP() << "byte names are Linux's";
#endif
    dir.Write("F/BackUp/\x83\x4A\x83\x8B.sxd", "sjis name");
    dir.Write("F/BackUp/a\\b.ini", "backslash");
    dir.Write("F/BackUp/\x83\x4A.SXD", "upper case, skipped");
    ASSERT_EQ(Run(RestoreJob::ChartJob), 0);
    EXPECT_EQ(Chart("H15/\x83\x4A\x83\x8B.sxd"), "sjis name");
    EXPECT_EQ(Chart("set/a\\b.ini"), "backslash");
    EXPECT_EQ(Entries("C/Velmira/H15").size(), 1U);
}

TEST_F(RestoreRunTest, RestoresMoreFilesThanASixteenBitCount) {
    if (testing::UnderWine()) GTEST_SKIP() << "40,000 files take many minutes to make under Wine";
    const int count = 40000;
    for (int i = 0; i < count; ++i)
        dir.Write("F/BackUp/K" + std::to_string(100000 + i) + ".sxd", "");
    ASSERT_EQ(Run(RestoreJob::ChartJob), 0);
    EXPECT_EQ(view.fillAfterYield.size(), static_cast<std::size_t>(count) + 1);
    EXPECT_TRUE(fs::exists(dir.path() / "C/Velmira/H15/K139999.sxd"));
    EXPECT_NEAR(view.fill, 3586.0F, 3586.0F * 0.01F);
}

}  // namespace
}  // namespace velmira
