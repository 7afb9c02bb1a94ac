#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <map>

#include "restore/RestoreRun.h"
#include "tests/support/FolderDrives.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::FolderEntries;
using testing::ReadAll;
using testing::TempDir;

// Every entry under a folder, links not followed: its kind, and a file's
// content or a link's target.
void Walk(const fs::path& root, const fs::path& folder,
          std::map<std::string, std::string>& entries) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path& path = entry.path();
        const auto status = fs::symlink_status(path);
        std::string what;
        if (fs::is_symlink(status)) {
            what = "link to " + fs::read_symlink(path).string();
        } else if (fs::is_regular_file(status)) {
            what = "file " + ReadAll(path);
        } else if (fs::is_directory(status)) {
            what = "folder";
            Walk(root, path, entries);
        } else {
            what = "special";
        }
        entries[path.lexically_relative(root).string()] = what;
    }
}

std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    Walk(root, root, entries);
    return entries;
}

bool MakeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    if (fd < 0 || text.size() >= sizeof address.sun_path) return false;
    text.copy(address.sun_path, text.size());
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

// A stick made elsewhere or tampered with: special files and links named
// like chart files, awkward names, empty files. One run must copy exactly
// the regular files, write nowhere but the chart folders and never block.
TEST(HostileMedium, OnlyRegularFilesAreRestoredAndNothingOutsideTheChartFoldersChanges) {
    TempDir dir;
    testing::FolderDrives drives;
    drives.roots['C'] = dir.MakeDir("C");
    drives.roots['F'] = dir.MakeDir("F/stick");
    for (const char* folder : {"H15", "set", "cb", "kdata"})
        dir.MakeDir(fs::path("C/Velmira") / folder);
    const fs::path backUp = dir.MakeDir("F/stick/BackUp");
    const fs::path outside = dir.Write("C/Velmira/info.txt", "outside the chart folders");
    const fs::path secret = dir.Write("secret.sxd", "not on the stick");

    std::map<std::string, std::string> expected;  // destination → content
    const auto regular = [&](const std::string& name, const std::string& folder) {
        const std::string content = name.size() > 40 ? "long name" : "content of " + name;
        testing::WriteFile(backUp / name, content);
        expected["C/Velmira/" + folder + "/" + name] = content;
    };
    regular("-rf.sxd", "H15");
    regular("a.sxd", "H15");
    regular("A.sxd", "H15");
    regular(std::string(251, 'k') + ".sxd", "H15");
    regular("zero.ini", "set");
    testing::WriteFile(backUp / "zero.ini", "");
    expected["C/Velmira/set/zero.ini"] = "";
    regular("\x83\x4A\x83\x8B.sxd", "H15");
    regular("x\\..\\..\\..\\escape.ini", "set");
    regular("a\\b.hxd", "set");
    testing::WriteFile(backUp / "..\\..\\hidden.ini", "a dot name is hidden");

    ASSERT_EQ(::mkfifo((backUp / "fifo.sxd").c_str(), 0600), 0);
    ASSERT_TRUE(MakeSocket(backUp / "sock.sxd"));
    const bool haveDevice =
        ::mknod((backUp / "dev.sxd").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    fs::create_symlink(secret, backUp / "link.sxd");
    fs::create_symlink(backUp / "fifo.sxd", backUp / "fifolink.sxd");
    fs::create_symlink("loop.sxd", backUp / "loop.sxd");
    fs::create_directory_symlink(dir.path() / "C", backUp / "dir.ini");
    dir.MakeDir("F/stick/BackUp/sub.sxd");
    testing::WriteFile(backUp / "sub.sxd/inner.sxd", "in a folder");
    // On the PC, a link where a chart file should be.
    fs::create_symlink(outside, dir.path() / "C/Velmira/H15/a.sxd");

    const auto before = Snapshot(dir.path());
    ::alarm(60);  // a blocking open must fail the test, not hang it
    testing::RecordingView view;
    RunRestoreJob(RestoreJob::ChartJob, 'F', view, drives);
    ::alarm(0);

    auto after = Snapshot(dir.path());
    for (const auto& [path, content] : expected) {
        EXPECT_EQ(after[path], "file " + content) << path;
        after.erase(path);
    }
    auto unchanged = before;
    unchanged.erase("C/Velmira/H15/a.sxd");  // the link, replaced by the file
    EXPECT_EQ(after, unchanged);
    EXPECT_EQ(ReadAll(secret), "not on the stick");
    EXPECT_EQ(FolderEntries(dir.path() / "C/Velmira/H15").size(), 5U);
    EXPECT_EQ(FolderEntries(dir.path() / "C/Velmira/set").size(), 3U);
    // Every listed entry took one step, copied or not.
    EXPECT_EQ(view.fillAfterYield.size(), expected.size() + 1);
    if (!haveDevice) std::cout << "(no device node: this machine refuses mknod)\n";
}

}  // namespace
}  // namespace velmira
