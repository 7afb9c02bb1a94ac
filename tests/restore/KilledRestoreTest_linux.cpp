#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "FileCopier.h"
#include "TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::TempDir;

constexpr int kFiles = 1000;
constexpr int kKills = 50;

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

pid_t StartRestore(const fs::path& dir) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::execl(VELMIRA_RESTORE_KILL_TARGET, VELMIRA_RESTORE_KILL_TARGET, dir.c_str(),
                static_cast<char*>(nullptr));
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

// A restore of 1,000 files killed at random moments, again and again: every
// chart file is always its old or its new content, whatever moment the kill
// came, and what a kill leaves behind is hidden and removed by the next run.
TEST(KilledRestore, EveryFileIsOldOrNewAfterAKillAtAnyMoment) {
    TempDir dir;
    for (const char* folder : {"H15", "set", "cb", "kdata"})
        dir.MakeDir(fs::path("C/Velmira") / folder);
    for (int i = 0; i < kFiles; ++i) dir.Write(fs::path("F/BackUp") / Name(i), NewContent(i));
    const fs::path h15 = dir.path() / "C/Velmira/H15";
    const auto resetToOld = [&] {
        for (int i = 0; i < kFiles; ++i) testing::WriteFile(h15 / Name(i), OldContent(i));
    };

    resetToOld();
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Wait(StartRestore(dir.path())), 0);
    const auto fullRun = std::chrono::steady_clock::now() - start;

    std::mt19937 random(20261208);
    std::uniform_int_distribution<long long> moment(
        0, std::chrono::duration_cast<std::chrono::microseconds>(fullRun).count());
    int mixed = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        resetToOld();
        const pid_t child = StartRestore(dir.path());
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(child, SIGKILL);
        Wait(child);

        int restored = 0;
        for (int i = 0; i < kFiles; ++i) {
            const std::string content = ReadAll(h15 / Name(i));
            if (content == NewContent(i)) {
                ++restored;
            } else {
                ASSERT_EQ(content, OldContent(i)) << "kill " << kill << ", " << Name(i);
            }
        }
        if (restored > 0 && restored < kFiles) ++mixed;
        for (const auto& name : testing::FolderEntries(h15)) {
            const bool chart = name.size() == 10 && name[0] == 'K';
            const bool leftover = name.rfind(FileCopier::kTemporaryPrefix, 0) == 0;
            ASSERT_TRUE(chart || leftover) << "kill " << kill << " left " << name;
        }
    }
    std::cout << mixed << " of " << kKills << " kills came in the middle of the copying\n";

    // A run to its end restores everything and leaves nothing of the kills.
    testing::WriteFile(h15 / (std::string(FileCopier::kTemporaryPrefix) + "4242-0"), "left");
    ASSERT_EQ(Wait(StartRestore(dir.path())), 0);
    const auto entries = testing::FolderEntries(h15);
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(kFiles));
    for (int i = 0; i < kFiles; ++i) ASSERT_EQ(ReadAll(h15 / Name(i)), NewContent(i)) << Name(i);
}

}  // namespace
}  // namespace velmira
