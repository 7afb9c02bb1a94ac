#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/FolderListing.h"
#include "platform/NumberedError.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPlatform.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::kNamesDifferByCase;
using testing::TempDir;

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& file : ListBackupFiles(folder)) names.push_back(file.name.string());
    return names;
}

TEST(FolderListing, ListsPlainFilesDirectlyInTheFolderSortedByCodePoint) {
    TempDir dir;
    dir.Write("b.ini", "b");
    if (kNamesDifferByCase) dir.Write("B.INI", "B");
    dir.Write("a.sxd", "a");
    dir.Write(u8"カルテ.hxd", "k");
    dir.Write("readme.txt", "r");
    testing::MarkHidden(dir.Write(".hidden.sxd", "h"));
    dir.Write("sub/inner.sxd", "i");
    std::vector<std::string> expected{"a.sxd", "b.ini", "readme.txt", "カルテ.hxd"};
    if (kNamesDifferByCase) expected.insert(expected.begin(), "B.INI");
    EXPECT_EQ(Names(dir.path()), expected);
}

TEST(FolderListing, LeavesOutLinksAndSpecialFilesWithoutOpeningThem) {
#ifndef __linux__
    GTEST_SKIP() << "FIFOs and symbolic links as a Linux medium holds them";
#else
    TempDir dir;
    dir.Write("real.sxd", "r");
    fs::create_symlink("/etc/passwd", dir.path() / "link.ini");
    fs::create_symlink("real.sxd", dir.path() / "relative.sxd");
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.sxd").c_str(), 0600), 0);
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"real.sxd"}));
#endif
}

TEST(FolderListing, KeepsNamesThatAreNotUtf8OrHoldABackslashExactly) {
#ifndef __linux__
    GTEST_SKIP() << "byte names are Linux's";
#endif
    TempDir dir;
    dir.Write("\x83\x4A\x83\x8B.sxd", "sjis");
    dir.Write("a\\b.ini", "slash");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a\\b.ini", "\x83\x4A\x83\x8B.sxd"}));
}

TEST(FolderListing, MissingFolderIsAPathError) {
    TempDir dir;
    try {
        ListBackupFiles(dir.path() / "BackUp");
        FAIL() << "no error";
    } catch (const NumberedError& error) {
        EXPECT_EQ(error.code(), 76);
    }
    dir.Write("BackUp", "a file where the folder should be");
    EXPECT_THROW(ListBackupFiles(dir.path() / "BackUp"), NumberedError);
}

TEST(FolderListing, HasNoCountLimit) {
    if (testing::UnderWine())
        GTEST_SKIP() << "40,000 files take minutes to make under Wine; its run lists F:\\many";
    TempDir dir;
    for (int i = 0; i < 40000; ++i) dir.Write("f" + std::to_string(100000 + i) + ".sxd", "");
    const auto names = ListBackupFiles(dir.path());
    ASSERT_EQ(names.size(), 40000U);
    EXPECT_EQ(names.front().name, "f100000.sxd");
    EXPECT_EQ(names.back().name, "f139999.sxd");
}

}  // namespace
}  // namespace velmira
