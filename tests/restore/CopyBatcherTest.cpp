#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "platform/FileCopier.h"
#include "platform/NumberedError.h"
#include "restore/CopyBatcher.h"
#include "tests/support/ErrorOf.h"
#include "tests/support/FakeEvents.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestPlatform.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::CopyErrorOf;
using testing::FolderEntries;
using testing::ReadAll;
using testing::TempDir;

TEST(CopyBatcher, ReplacesTheDestinationAndCarriesTimeAndPermissions) {
    TempDir dir;
    const fs::path source = dir.Write("src/K0001.sxd", "new chart");
    const fs::path destination = dir.Write("dst/K0001.sxd", "old chart that was longer");
    const auto stamp = fs::file_time_type::clock::now() - std::chrono::hours(48);
    fs::last_write_time(source, stamp);
    fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    CopyBatcher copier;
    copier.Copy(source, destination);
    copier.Finish();

    EXPECT_EQ(ReadAll(destination), "new chart");
    EXPECT_EQ(ReadAll(source), "new chart");
    // Read back from the source: Windows keeps times in 100 ns steps.
    EXPECT_EQ(fs::last_write_time(destination), fs::last_write_time(source));
    EXPECT_LT(fs::last_write_time(destination), stamp + std::chrono::hours(1));
#ifdef __linux__
    EXPECT_EQ(fs::status(destination).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
    EXPECT_EQ(FolderEntries(dir.path() / "dst"), (std::vector<std::string>{"K0001.sxd"}));
}

TEST(CopyBatcher, CopiesEmptyAndLargeFiles) {
    TempDir dir;
    std::string large(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 131 % 251);
    dir.MakeDir("dst");
    CopyBatcher copier;
    copier.Copy(dir.Write("empty.ini", ""), dir.path() / "dst/empty.ini");
    copier.Copy(dir.Write("large.sxd", large), dir.path() / "dst/large.sxd");
    copier.Finish();
    EXPECT_EQ(ReadAll(dir.path() / "dst/empty.ini"), "");
    EXPECT_EQ(ReadAll(dir.path() / "dst/large.sxd"), large);
}

// The copies and the flush run on the batcher's thread; the window's events
// are handled meanwhile on the caller's thread, never on that one.
TEST(CopyBatcher, HandlesEventsOnTheCallersThreadWhileItCopiesAndFlushes) {
    TempDir dir;
    dir.MakeDir("dst");
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> handledElsewhere = false;
    testing::FakeEvents events;
    events.onHandled = [&](int) {
        if (std::this_thread::get_id() != caller) handledElsewhere = true;
    };
    CopyBatcher copier(&events);
    const std::string large(2 << 20, 'x');
    copier.Copy(dir.Write("large.sxd", large), dir.path() / "dst/large.sxd", large.size());
    copier.Finish();
    EXPECT_GE(events.handled, 2);
    EXPECT_FALSE(handledElsewhere);
    EXPECT_EQ(ReadAll(dir.path() / "dst/large.sxd"), large);
}

TEST(CopyBatcher, FailuresLeaveTheOldDestinationAndNoTemporaryFile) {
    TempDir dir;
    const fs::path source = dir.Write("src/a.sxd", "new");
    const fs::path readOnly = dir.Write("dst/a.sxd", "old");
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read);
    CopyBatcher copier;

    // A read-only destination is refused, not overwritten.
    EXPECT_EQ(CopyErrorOf(copier, source, readOnly), 75);
    EXPECT_EQ(ReadAll(readOnly), "old");
    // A source that has gone (the stick was pulled) leaves the old file too.
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(CopyErrorOf(copier, dir.path() / "src/gone.sxd", readOnly), 53);
    EXPECT_EQ(ReadAll(readOnly), "old");
    // A folder in the way of the destination name.
    dir.MakeDir("dst/b.sxd");
    EXPECT_NE(CopyErrorOf(copier, source, dir.path() / "dst/b.sxd"), 0);
    EXPECT_EQ(FolderEntries(dir.path() / "dst"), (std::vector<std::string>{"a.sxd", "b.sxd"}));
    // Of several copies in flight, the first failure in the files' order is
    // raised, whichever copy failed first.
    copier.Copy(source, dir.path() / "dst/c.sxd");
    copier.Copy(dir.path() / "src/gone.sxd", dir.path() / "dst/d.sxd");
    EXPECT_EQ(CopyErrorOf(copier, source, dir.path() / "dst/b.sxd"), 53);
    EXPECT_EQ(FolderEntries(dir.path() / "dst"),
              (std::vector<std::string>{"a.sxd", "b.sxd", "c.sxd"}));
    // A window handler that fails meanwhile does not hide the copy's error.
    testing::FakeEvents failingWindow;
    failingWindow.onHandled = [](int) { throw std::runtime_error("a window's own fault"); };
    CopyBatcher waiting(&failingWindow);
    EXPECT_EQ(CopyErrorOf(waiting, dir.path() / "src/gone.sxd", readOnly), 53);
}

TEST(CopyBatcher, NeverCreatesTheDestinationFolder) {
    TempDir dir;
    const fs::path source = dir.Write("src/a.sxd", "new");
    CopyBatcher copier;
    EXPECT_EQ(CopyErrorOf(copier, source, dir.path() / "Velmira/H15/a.sxd"), 76);
    EXPECT_FALSE(fs::exists(dir.path() / "Velmira"));
}

TEST(CopyBatcher, ASourceThatChangedSinceItWasListedIsRefusedAndHarmsNothing) {
    TempDir dir;
    const fs::path destination = dir.Write("dst/a.sxd", "old");
    CopyBatcher copier;
    const std::uintmax_t listed = 3;
    // Listed at 3 bytes; truncated or grown since.
    EXPECT_EQ(CopyErrorOf(copier, dir.Write("src/shrunk.sxd", "ne"), destination, listed), 57);
    EXPECT_EQ(CopyErrorOf(copier, dir.Write("src/grown.sxd", "newer"), destination, listed), 57);
    EXPECT_EQ(CopyErrorOf(copier, dir.path() / "src/gone.sxd", destination, listed), 53);
    EXPECT_EQ(ReadAll(destination), "old");
    EXPECT_EQ(FolderEntries(dir.path() / "dst"), (std::vector<std::string>{"a.sxd"}));
    // Unchanged since the listing: copied.
    copier.Copy(dir.Write("src/same.sxd", "new"), destination, 3);
    copier.Finish();
    EXPECT_EQ(ReadAll(destination), "new");
}

TEST(CopyBatcher, TheFirstCopyIntoAFolderRemovesWhatAKilledRunLeft) {
    TempDir dir;
    const fs::path source = dir.Write("src/a.sxd", "new");
    dir.Write(fs::path("dst") / (std::string(FileCopier::kTemporaryPrefix) + "Xy12ab"), "part");
    dir.Write(fs::path("dst") / (std::string(FileCopier::kTemporaryPrefix) + "4242-7"), "");
    dir.Write("dst/.keep", "not ours");
    dir.Write("dst/velmira-restore-a.sxd", "chart data with a similar name");
    CopyBatcher copier;
    copier.Copy(source, dir.path() / "dst/a.sxd");
    copier.Finish();
    EXPECT_EQ(FolderEntries(dir.path() / "dst"),
              (std::vector<std::string>{".keep", "a.sxd", "velmira-restore-a.sxd"}));
}

TEST(CopyBatcher, AwkwardNamesAndSizesCopyExactly) {
    TempDir dir;
    CopyBatcher copier;
    std::vector<std::string> names{"-rf.sxd", "--.ini"};
    // 255 bytes, the most a Linux name has; Windows paths stop at 260.
    if (!testing::kOnWindows) names.push_back(std::string(251, 'k') + ".sxd");
    for (const std::string& name : names) {
        copier.Copy(dir.Write("src/" + name, name), dir.MakeDir("dst") / name);
        copier.Finish();
        EXPECT_EQ(ReadAll(dir.path() / "dst" / name), name);
    }
    // A zero-byte file replaces a full one.
    dir.Write("dst/zero.sxd", "old content");
    copier.Copy(dir.Write("src/zero.sxd", ""), dir.path() / "dst/zero.sxd", 0);
    copier.Finish();
    EXPECT_EQ(ReadAll(dir.path() / "dst/zero.sxd"), "");
}

}  // namespace
}  // namespace velmira
