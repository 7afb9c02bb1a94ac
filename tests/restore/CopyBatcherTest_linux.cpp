#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileCopier.h"
#include "platform/NumberedError.h"
#include "restore/CopyBatcher.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/PrivateMountNamespace.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::CopyErrorOf;
using testing::FolderEntries;
using testing::ReadAll;
using testing::TempDir;

TEST(CopyBatcherLinux, ALinkInPlaceOfTheDestinationIsReplacedNeverWrittenThrough) {
    TempDir dir;
    const fs::path outside = dir.Write("outside/passwd", "must stay");
    dir.MakeDir("dst");
    fs::create_symlink(outside, dir.path() / "dst/a.sxd");
    fs::create_symlink(dir.path() / "outside/missing", dir.path() / "dst/b.sxd");
    fs::create_directory_symlink(dir.path() / "outside", dir.path() / "dst/c.sxd");
    CopyBatcher copier;
    for (const char* name : {"a.sxd", "b.sxd", "c.sxd"}) {
        copier.Copy(dir.Write(fs::path("src") / name, name), dir.path() / "dst" / name);
        copier.Finish();
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir.path() / "dst" / name))) << name;
        EXPECT_EQ(ReadAll(dir.path() / "dst" / name), name);
    }
    copier.Finish();
    EXPECT_EQ(ReadAll(outside), "must stay");
    EXPECT_EQ(FolderEntries(dir.path() / "outside"), (std::vector<std::string>{"passwd"}));
}

TEST(CopyBatcherLinux, SpecialFilesInPlaceOfASourceAreRefusedWithoutOpeningThem) {
    TempDir dir;
    const fs::path destination = dir.Write("dst/a.sxd", "old");
    ASSERT_EQ(::mkfifo((dir.path() / "fifo.sxd").c_str(), 0600), 0);
    fs::create_symlink(dir.path() / "fifo.sxd", dir.path() / "link.sxd");
    CopyBatcher copier;
    EXPECT_NE(CopyErrorOf(copier, dir.path() / "fifo.sxd", destination), 0);
    EXPECT_NE(CopyErrorOf(copier, dir.path() / "link.sxd", destination), 0);
    EXPECT_EQ(ReadAll(destination), "old");
}

// 2 GiB and a little: past every 32-bit offset, with data at both ends and
// holes between. The copy keeps the holes, so it takes no disk space.
TEST(CopyBatcherLinux, ATwoGibSparseFileCopiesWholeAndStaysSparse) {
    TempDir dir;
    const off_t size = (off_t{2} << 30) + 4097;
    const fs::path source = dir.Write("src/big.sxd", "head");
    {
        const int fd = ::open(source.c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        EXPECT_EQ(::pwrite(fd, "middle", 6, off_t{1} << 31), 6);
        EXPECT_EQ(::pwrite(fd, "tail", 4, size - 4), 4);
        ::close(fd);
    }
    const fs::path destination = dir.Write("dst/big.sxd", "old");
    CopyBatcher copier;
    copier.Copy(source, destination, static_cast<std::uintmax_t>(size));
    copier.Finish();

    struct stat st {};
    ASSERT_EQ(::stat(destination.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, size);
    EXPECT_LT(st.st_blocks * 512, off_t{1} << 20);
    const auto at = [&](off_t offset, std::size_t length) {
        std::string bytes(length, '?');
        const int fd = ::open(destination.c_str(), O_RDONLY | O_CLOEXEC);
        const ssize_t got = ::pread(fd, bytes.data(), length, offset);
        ::close(fd);
        bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
        return bytes;
    };
    EXPECT_EQ(at(0, 4), "head");
    EXPECT_EQ(at(off_t{1} << 31, 6), "middle");
    EXPECT_EQ(at(size - 4, 4), "tail");
    EXPECT_EQ(at(1 << 20, 4), std::string(4, '\0'));
}

// A destination file system that fills up part-way through a file: disk
// full, the old file as it was, no temporary left and the space given back.
TEST(CopyBatcherLinux, ADiskThatFillsUpMidFileLeavesTheOldFileAndNoTemporary) {
    TempDir dir;
    const fs::path folder = dir.MakeDir("dst");
    const fs::path source = dir.Write("src/a.sxd", std::string(3 << 20, 'n'));
    const fs::path fits = dir.Write("src/b.sxd", std::string(1 << 20, 'b'));
    const auto result = testing::InPrivateMountNamespace([&]() -> std::string {
        if (::mount("velmira-test", folder.c_str(), "tmpfs", 0, "size=2m") != 0) {
            return "cannot mount a tmpfs";
        }
        testing::WriteFile(folder / "a.sxd", "old chart");
        CopyBatcher copier;
        const int error = CopyErrorOf(copier, source, folder / "a.sxd");
        if (error != 61) return "error " + std::to_string(error) + ", not disk full";
        if (ReadAll(folder / "a.sxd") != "old chart") return "the old file changed";
        if (FolderEntries(folder) != std::vector<std::string>{"a.sxd"}) return "something was left";
        // The space is free again: a file that fits still copies.
        copier.Copy(fits, folder / "a.sxd");
        copier.Finish();
        return ReadAll(folder / "a.sxd") == std::string(1 << 20, 'b') ? ""
                                                                      : "the later copy failed";
    });
    if (!result) GTEST_SKIP() << "this machine allows no private mount namespace";
    EXPECT_EQ(*result, "");
}

}  // namespace
}  // namespace velmira
