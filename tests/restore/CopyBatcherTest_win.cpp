#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "platform/FileCopier.h"
#include "platform/NumberedError.h"
#include "restore/CopyBatcher.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::CopyErrorOf;
using testing::ReadAll;
using testing::TempDir;

std::vector<std::wstring> Entries(const fs::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().native());
    }
    std::sort(names.begin(), names.end());
    return names;
}

DWORD Attributes(const fs::path& file) {
    return ::GetFileAttributesW(file.c_str());
}

// Read-only files cannot be deleted; clear them so the folder can go.
void MakeWritable(const fs::path& file) {
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CopyBatcherWin, AReadOnlyDestinationIsRefusedAndKept) {
    TempDir dir;
    const fs::path source = dir.Write("src/a.dat", "new");
    const fs::path destination = dir.Write("dst/a.dat", "old");
    ASSERT_TRUE(::SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_READONLY));

    CopyBatcher copier;
    EXPECT_EQ(CopyErrorOf(copier, source, destination), 75);
    EXPECT_EQ(ReadAll(destination), "old");
    EXPECT_EQ(Entries(dir.path() / "dst"), (std::vector<std::wstring>{L"a.dat"}));
    MakeWritable(destination);
}

TEST(CopyBatcherWin, ADestinationInUseIsAnErrorAndKept) {
    TempDir dir;
    const fs::path source = dir.Write("src/a.dat", "new");
    const fs::path destination = dir.Write("dst/a.dat", "old");
    // Open as the chart system would while it runs: shared for nothing.
    const HANDLE held = ::CreateFileW(destination.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    CopyBatcher copier;
    const int error = CopyErrorOf(copier, source, destination);
    ::CloseHandle(held);
    EXPECT_TRUE(error == 70 || error == 75) << error;
    EXPECT_EQ(ReadAll(destination), "old");
    EXPECT_EQ(Entries(dir.path() / "dst"), (std::vector<std::wstring>{L"a.dat"}));

    // Once it is closed the copy goes through.
    copier.Copy(source, destination);
    copier.Finish();
    EXPECT_EQ(ReadAll(destination), "new");
}

TEST(CopyBatcherWin, CarriesTheReadOnlyAttributeAndTheTime) {
    TempDir dir;
    const fs::path source = dir.Write("src/a.dat", "data");
    const fs::path destination = dir.Write("dst/a.dat", "old");
    FILETIME old{};
    old.dwHighDateTime = 0x01D00000;  // in 2014
    {
        const HANDLE file = ::CreateFileW(source.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &old));
        ::CloseHandle(file);
    }
    ASSERT_TRUE(::SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_READONLY));

    CopyBatcher copier;
    copier.Copy(source, destination);
    copier.Finish();

    EXPECT_EQ(ReadAll(destination), "data");
    EXPECT_TRUE(Attributes(destination) & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(Attributes(destination) & FILE_ATTRIBUTE_HIDDEN);
    WIN32_FILE_ATTRIBUTE_DATA copied{};
    ASSERT_TRUE(::GetFileAttributesExW(destination.c_str(), GetFileExInfoStandard, &copied));
    EXPECT_EQ(::CompareFileTime(&copied.ftLastWriteTime, &old), 0);
    MakeWritable(source);
    MakeWritable(destination);
}

TEST(CopyBatcherWin, AFolderAsSourceIsRefused) {
    TempDir dir;
    const fs::path folder = dir.MakeDir("src/a.dat");
    dir.MakeDir("dst");
    CopyBatcher copier;
    EXPECT_NE(CopyErrorOf(copier, folder, dir.path() / "dst/a.dat"), 0);
    EXPECT_TRUE(Entries(dir.path() / "dst").empty());
}

}  // namespace
}  // namespace velmira
