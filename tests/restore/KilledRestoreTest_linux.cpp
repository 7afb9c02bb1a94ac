#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/FileCopier.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;

std::string Name(int i) {
    return "K" + std::to_string(10000 + i) + ".sxd";
}
// Old and new contents differ in length and bytes, so that any mix of the
// two, a cut-off copy or an empty file is neither.
std::string OldContent(int i) {
    return "old " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 13) * 300, 'o');
}
std::string NewContent(int i) {
    return "new " + std::to_string(i) +
           std::string(static_cast<std::size_t>(i % 7) * 2000 + 5, 'n');
}

// Starts a restore of DIR/F/BackUp into DIR/C/Velmira; returns its process.
using RestoreStarter = std::function<pid_t(const fs::path& dir)>;

pid_t Exec(const std::vector<std::string>& command) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return child;
}

int Wait(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// A restore of `files` files killed with SIGKILL at `kills` random moments,
// one after the other: every chart file is always its old or its new
// content, whatever moment the kill came, and what a kill leaves behind is
// hidden and removed by the next run.
void KillAgainAndAgain(const RestoreStarter& start, int files, int kills) {
    TempDir dir;
    for (const char* folder : {"H15", "set", "cb", "kdata"})
        dir.MakeDir(fs::path("C/Velmira") / folder);
    for (int i = 0; i < files; ++i) dir.Write(fs::path("F/BackUp") / Name(i), NewContent(i));
    const fs::path h15 = dir.path() / "C/Velmira/H15";
    const auto resetToOld = [&] {
        for (int i = 0; i < files; ++i) testing::WriteFile(h15 / Name(i), OldContent(i));
    };

    resetToOld();
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(Wait(start(dir.path())), 0);
    const auto fullRun = std::chrono::steady_clock::now() - begin;

    std::mt19937 random(20261208);
    std::uniform_int_distribution<long long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(fullRun).count());
    int mixed = 0;
    int leftovers = 0;
    for (int kill = 0; kill < kills; ++kill) {
        resetToOld();
        const pid_t child = start(dir.path());
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(child, SIGKILL);
        Wait(child);

        int restored = 0;
        for (int i = 0; i < files; ++i) {
            const std::string content = ReadAll(h15 / Name(i));
            if (content == NewContent(i)) {
                ++restored;
            } else {
                ASSERT_EQ(content, OldContent(i)) << "kill " << kill << ", " << Name(i);
            }
        }
        if (restored > 0 && restored < files) ++mixed;
        bool leftBehind = false;
        for (const auto& name : testing::FolderEntries(h15)) {
            const bool chart = name.size() == 10 && name[0] == 'K';
            const bool leftover = name.rfind(FileCopier::kTemporaryPrefix, 0) == 0;
            ASSERT_TRUE(chart || leftover) << "kill " << kill << " left " << name;
            leftBehind = leftBehind || leftover;
        }
        if (leftBehind) ++leftovers;
    }
    std::cout << mixed << " of " << kills << " kills came in the middle of the copying (" << files
              << " files, a full run " << fullRun / std::chrono::milliseconds(1) << " ms); "
              << leftovers << " left an unfinished file\n";

    // A run to its end restores everything and leaves nothing of the kills.
    testing::WriteFile(h15 / (std::string(FileCopier::kTemporaryPrefix) + "4242-0"), "left");
    ASSERT_EQ(Wait(start(dir.path())), 0);
    const auto entries = testing::FolderEntries(h15);
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(files));
    for (int i = 0; i < files; ++i) ASSERT_EQ(ReadAll(h15 / Name(i)), NewContent(i)) << Name(i);
}

TEST(KilledRestore, EveryFileIsOldOrNewAfterAKillAtAnyMoment) {
    KillAgainAndAgain(
        [](const fs::path& dir) {
            return Exec({VELMIRA_RESTORE_KILL_TARGET, dir.string()});
        },
        1000, 50);
}

// The Windows copy (temporary file, flush, MoveFileExW, leftover sweep): the
// target's Windows build run by Wine, whose process is killed.
// scripts/test-windows-installer sets VELMIRA_WINE (the loader) and
// VELMIRA_WINE_KILL_TARGET (restore-kill-target.exe) and the Wine prefix.
TEST(KilledRestore, UnderWineEveryFileIsOldOrNewAfterAKillAtAnyMoment) {
    const char* wine = std::getenv("VELMIRA_WINE");
    const char* target = std::getenv("VELMIRA_WINE_KILL_TARGET");
    if (wine == nullptr || target == nullptr) {
        GTEST_SKIP() << "VELMIRA_WINE and VELMIRA_WINE_KILL_TARGET not set";
    }
    KillAgainAndAgain(
        [&](const fs::path& dir) {
            // The folder as Wine's drive Z: names it.
            std::string windowsDir = "Z:" + dir.string();
            for (char& c : windowsDir) c = c == '/' ? '\\' : c;
            return Exec({wine, target, windowsDir});
        },
        2000, 20);
}

}  // namespace
}  // namespace velmira
