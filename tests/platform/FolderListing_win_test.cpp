#include <gtest/gtest.h>
#include <windows.h>

#include "platform/FolderListing.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPlatform.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

std::vector<std::wstring> Names(const fs::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& file : ListBackupFiles(folder)) names.push_back(file.name.native());
    return names;
}

void AddAttribute(const fs::path& file, DWORD attribute) {
    ASSERT_TRUE(::SetFileAttributesW(file.c_str(), ::GetFileAttributesW(file.c_str()) | attribute));
}

TEST(FolderListingWin, LeavesOutHiddenAndSystemFilesAndFolders) {
    TempDir dir;
    dir.Write("plain.sxd", "p");
    AddAttribute(dir.Write("hidden.sxd", "h"), FILE_ATTRIBUTE_HIDDEN);
    AddAttribute(dir.Write("system.sxd", "s"), FILE_ATTRIBUTE_SYSTEM);
    const fs::path readOnly = dir.Write("readonly.ini", "r");
    AddAttribute(readOnly, FILE_ATTRIBUTE_READONLY);
    dir.MakeDir("folder.sxd");

    EXPECT_EQ(Names(dir.path()), (std::vector<std::wstring>{L"plain.sxd", L"readonly.ini"}));
    ::SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(FolderListingWin, SortsByCodePointAsLinuxDoes) {
    TempDir dir;
    // UTF-16 unit order would put the emoji (a surrogate pair) first, and
    // the file system's own order ignores case.
    for (const wchar_t* name :
         {L"a\U0001F600.ini", L"a\uFF65.ini", L"a\uE000.ini", L"b.ini", L"B2.ini", L"a.ini"}) {
        dir.Write(fs::path(name), "x");
    }
    EXPECT_EQ(Names(dir.path()),
              (std::vector<std::wstring>{L"B2.ini", L"a.ini", L"a\uE000.ini", L"a\uFF65.ini",
                                         L"a\U0001F600.ini", L"b.ini"}));
}

TEST(FolderListingWin, ListsFortyThousandFilesAndAnEmptyRoot) {
    if (!testing::WineDrivesPresent()) GTEST_SKIP() << "needs the drives of scripts/test-windows";
    const auto names = ListBackupFiles(L"F:\\many");
    ASSERT_EQ(names.size(), 40000U);
    EXPECT_EQ(names.front().name, L"f100000.sxd");
    EXPECT_EQ(names.back().name, L"f139999.sxd");
    EXPECT_TRUE(ListBackupFiles(L"A:\\").empty());
}

}  // namespace
}  // namespace velmira
