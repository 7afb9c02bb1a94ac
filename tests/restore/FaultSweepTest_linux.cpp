#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "tests/support/ChartSandbox.h"
#include "tests/support/TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

constexpr unsigned kSecondsPerRun = 10;  // a run still going then has hung
constexpr int kDeviceIoError = 57;
constexpr int kDiskFull = 61;

using ChartFile = testing::ChartSandbox::ChartFile;
using State = testing::ChartSandbox::State;

// The files of a restore's sandbox: a dozen of mixed sizes, empty, sparse
// and multi-MiB among them, half with old copies, and `manySmall` more
// small files with old copies.
std::vector<ChartFile> ChartFiles(int manySmall) {
    // Data at the start and in the middle, a hole at the end.
    std::string sparse(6 << 20, '\0');
    sparse.replace(0, 4096, 4096, 's');
    sparse.replace(3 << 20, 5000, 5000, 't');
    std::vector<ChartFile> files{
        {"a.sxd", "H15", "", "old a"},
        {"b.sxd", "H15", std::string(100, 'b'), std::nullopt},
        {"c.ini", "set", std::string(3000, 'c'), "old c"},
        {"d.hxd", "set", std::string(70000, 'd'), "old d"},
        {"e.sxd", "H15", std::string((5 << 20) + 123, 'e'), "old e"},
        {"f.sxd", "H15", sparse, std::nullopt},
        {"g.sxd", "H15", std::string(1 << 20, 'g'), "old g"},
        {"h.sxd", "H15", "h", "old h"},
        {"i.ini", "set", "i", std::nullopt},
        {"j.sxd", "H15", std::string((2 << 20) + 1, 'j'), std::nullopt},
        {"k.hxd", "set", std::string(500, 'k'), "old k"},
    };
    for (int i = 0; i < manySmall; ++i) {
        const std::string number = std::to_string(10000 + i);
        files.push_back({"m" + number + ".sxd", "H15", "m" + number, "old m" + number});
    }
    return files;
}

// A restore's own tmpfs sandbox: its flush costs nothing, so every call
// position can be tried in CI.
class Sandbox : public testing::ChartSandbox {
  public:
    explicit Sandbox(int manySmall = 0)
        : ChartSandbox(fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path(),
                       ChartFiles(manySmall)) {
        // f.sxd written again with its holes.
        const std::string& sparse = Find("f.sxd").content;
        const int fd = ::open(Source(Find("f.sxd")).c_str(), O_WRONLY | O_TRUNC);
        EXPECT_EQ(::pwrite(fd, sparse.data(), 4096, 0), 4096);
        EXPECT_EQ(::pwrite(fd, sparse.data() + (3 << 20), 5000, 3 << 20), 5000);
        EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(sparse.size())), 0);
        ::close(fd);
        ResetToOld();
        KeepOutside();
    }

    void ResetToOld() const {
        for (const auto& file : files_) {
            if (file.old) {
                testing::WriteFile(Destination(file), *file.old);
            } else {
                fs::remove(Destination(file));
            }
        }
    }

  private:
    const ChartFile& Find(const std::string& name) const {
        return *std::find_if(files_.begin(), files_.end(),
                             [&](const ChartFile& file) { return file.name == name; });
    }

    // Kind, size and time; of a folder only its kind, which gains entries
    // as files are restored into it.
    std::string Stamp(const fs::directory_entry& entry) const override {
        struct stat st {};
        ::lstat(entry.path().c_str(), &st);
        if (S_ISDIR(st.st_mode)) return std::to_string(st.st_mode);
        return std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " +
               std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
    }
};

struct Outcome {
    int status = 0;
    std::string error;  // "error N detail" when the run reported one
    std::map<std::string, long> counts;
    bool fired = false;
    long unflushedNames = 0;  // files named before their data was flushed
    long unsyncedNames = 0;   // names given after the last flush asked for
};

// One chart-job restore of the sandbox in its own process, with the fault
// library preloaded. `descriptors`, when given, is the most files the
// process may open, which bounds how many files one flush covers.
Outcome Restore(const Sandbox& sandbox, const std::string& copyPath, const std::string& fault,
                rlim_t descriptors = 0) {
    static const TempDir logs;
    const fs::path errors = logs.path() / "stderr";
    const fs::path counts = logs.path() / "counts";
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("LD_PRELOAD", VELMIRA_FAULT_LIBRARY, 1);
        ::setenv("VELMIRA_FAULT_PATH", copyPath.c_str(), 1);
        ::setenv("VELMIRA_FAULT", fault.c_str(), 1);
        ::setenv("VELMIRA_FAULT_COUNTS", counts.c_str(), 1);
        const int fd = ::open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(fd, 2);
        if (descriptors > 0) {
            const struct rlimit limit { descriptors, descriptors };
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
        ::alarm(kSecondsPerRun);
        ::execl(VELMIRA_RESTORE_KILL_TARGET, VELMIRA_RESTORE_KILL_TARGET, sandbox.path().c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    Outcome outcome;
    while (::waitpid(child, &outcome.status, 0) < 0 && errno == EINTR) {
    }
    std::getline(std::ifstream(errors), outcome.error);
    std::ifstream countLines(counts);
    for (std::string call; countLines >> call;) {
        if (call == "fired") {
            outcome.fired = true;
        } else if (call == "unflushed") {
            countLines >> outcome.unflushedNames;
        } else if (call == "unsynced") {
            countLines >> outcome.unsyncedNames;
        } else {
            countLines >> outcome.counts[call];
        }
    }
    fs::remove(counts);
    return outcome;
}

State StateOf(const Sandbox& sandbox, const ChartFile& file) {
    return Sandbox::ByContent(file, testing::ReadAll(sandbox.Destination(file)));
}

int ErrorNumberOf(const Outcome& outcome) {
    return std::atoi(outcome.error.c_str() + std::min<std::size_t>(outcome.error.size(), 6));
}

// What every run must leave, whatever failed: each file old or new, in
// listing order the restored ones first; success only when all are new;
// a file the error names not in place; nothing else touched (but a source
// the run's fault itself rewrote).
void CheckRun(const Sandbox& sandbox, const Outcome& outcome, const std::string& label,
              bool sourceRewritten = false) {
    ASSERT_TRUE(WIFEXITED(outcome.status))
        << label << ": " << (WTERMSIG(outcome.status) == SIGALRM ? "hung" : "crashed");
    const int exit = WEXITSTATUS(outcome.status);
    ASSERT_TRUE(exit == 0 || exit == 1) << label << ": exit " << exit << " " << outcome.error;
    bool restoring = true;
    for (const auto& file : sandbox.files()) {
        const State state = StateOf(sandbox, file);
        ASSERT_NE(state, State::Neither) << label << ": " << file.name << " is neither old nor new";
        if (state == State::Old) restoring = false;
        ASSERT_TRUE(state == State::Old || restoring)
            << label << ": " << file.name << " restored after a file that failed";
        ASSERT_TRUE(state == State::New || exit == 1)
            << label << ": success reported while " << file.name << " is old";
        const std::string named = outcome.error.substr(outcome.error.find(' ', 6) + 1);
        ASSERT_FALSE(
            exit == 1 && state == State::New &&
            (named == sandbox.Source(file).string() || named == sandbox.Destination(file).string()))
            << label << ": " << outcome.error << ", yet " << file.name << " is in place";
    }
    if (!sourceRewritten) {
        ASSERT_EQ(sandbox.Outside(), sandbox.outside()) << label << ": wrote outside";
    }
    ASSERT_EQ(outcome.unflushedNames, 0) << label << ": named before its data was flushed";
    ASSERT_EQ(outcome.unsyncedNames, 0) << label << ": names not flushed before the end";
}

// A clean run after a faulted one: everything new, no leftovers.
void CheckCleanRun(const Sandbox& sandbox, const std::string& copyPath, const std::string& label) {
    const Outcome outcome = Restore(sandbox, copyPath, "");
    ASSERT_EQ(outcome.status, 0) << label << ", clean run: " << outcome.error;
    ASSERT_EQ(outcome.unflushedNames, 0) << label << ", clean run: named before flushed";
    ASSERT_EQ(outcome.unsyncedNames, 0) << label << ", clean run: names not flushed";
    for (const auto& file : sandbox.files())
        ASSERT_EQ(StateOf(sandbox, file), State::New) << label << ", clean run: " << file.name;
    ASSERT_EQ(sandbox.Outside(true), sandbox.outside()) << label << ": a leftover";
}

bool MovesBytes(const std::string& call) {
    return call == "pread" || call == "pwrite" || call == "copy_file_range";
}

// Fails every call position of every call the restore makes, one run each.
void Sweep(const std::string& copyPath) {
    const auto start = std::chrono::steady_clock::now();
    Sandbox sandbox;
    const Outcome clean = Restore(sandbox, copyPath, "");
    ASSERT_EQ(clean.status, 0) << clean.error;
    int runs = 0;
    int reported = 0;
    std::string swept;
    for (const auto& [call, count] : clean.counts) {
        swept += " " + call + " " + std::to_string(count);
        std::vector<std::string> faults{"5"};  // EIO
        if (MovesBytes(call)) faults.insert(faults.end(), {"short", "zero", "zero all"});
        for (long n = 1; n <= count; ++n) {
            for (const auto& what : faults) {
                std::ostringstream fault;
                fault << call << ' ' << n << ' ' << what;
                const std::string label = copyPath + ": " + fault.str();
                sandbox.ResetToOld();
                const Outcome outcome = Restore(sandbox, copyPath, fault.str());
                ASSERT_TRUE(outcome.fired) << label << ": the call positions moved";
                ASSERT_NO_FATAL_FAILURE(CheckRun(sandbox, outcome, label));
                ASSERT_NO_FATAL_FAILURE(CheckCleanRun(sandbox, copyPath, label));
                ++runs;
                if (outcome.status != 0) ++reported;
            }
        }
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
    std::cout << copyPath << ": " << runs << " faulted restores, " << reported
              << " reported an error, " << seconds.count() << " s; calls made:" << swept << "\n";
}

class FaultSweep : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef VELMIRA_SANITIZED
        GTEST_SKIP() << "LD_PRELOAD does not mix with the sanitizer runtime; the dev build sweeps";
#endif
    }
};

// Unnamed new files copied by the kernel, copies through a buffer, and new
// files with temporary names.
TEST_F(FaultSweep, EveryCallPositionOfEachWayToCopy) {
    for (const char* copyPath : {"unnamed", "buffered", "named"}) {
        Sweep(copyPath);
        if (HasFatalFailure()) return;
    }
}

// Enough small files for two flushes behind the copies: a flush or a name
// that fails, behind them or at the end, is reported, and the files not yet
// named when it is noticed keep their old content.
TEST_F(FaultSweep, AFailedFlushOrNameIsReportedWhetherBehindTheCopiesOrAtTheEnd) {
    // Few descriptors, so that 1,200 files make several batches.
    constexpr rlim_t kDescriptors = 1024;
    const Sandbox sandbox(1200);
    const Outcome clean = Restore(sandbox, "unnamed", "", kDescriptors);
    ASSERT_EQ(clean.status, 0) << clean.error;
    ASSERT_GE(clean.counts.at("syncfs"), 3) << "no flush behind the copies";
    // The first batch's first name is given behind the copies, while the
    // second batch flushes; a name in the second batch only at the end.
    std::vector<std::pair<std::string, bool>> faults{{"linkat 1 5", true}, {"linkat 700 5", false}};
    for (long n = 1; n <= clean.counts.at("syncfs"); ++n) {
        faults.emplace_back("syncfs " + std::to_string(n) + " 5", n == 1);
    }
    for (const auto& [fault, behind] : faults) {
        sandbox.ResetToOld();
        const Outcome outcome = Restore(sandbox, "unnamed", fault, kDescriptors);
        ASSERT_NO_FATAL_FAILURE(CheckRun(sandbox, outcome, fault));
        EXPECT_EQ(WEXITSTATUS(outcome.status), 1) << fault;
        EXPECT_EQ(ErrorNumberOf(outcome), kDeviceIoError) << fault << ": " << outcome.error;
        // A failure behind the copies is noticed before the last files.
        if (behind) {
            EXPECT_EQ(StateOf(sandbox, sandbox.files().back()), State::Old) << fault;
        }
    }
}

// Faults that once passed as success or hung, or would pass unnoticed: a
// file that cannot be listed is an error, not a skip, and nothing is
// copied; a write that makes no progress is an error, not a spin; a source
// rewritten in place under its copy (a chart program writing it, its size
// and time the same) is refused; data that never reached the disk, told to
// its own file alone, is an error, and the files before it are restored; an
// earlier file's failed flush is the one told, not a later file's copy.
TEST_F(FaultSweep, FaultsThatCouldPassUnnoticedAreErrors) {
    constexpr int kAny = -1;
    constexpr int kBeforeTheFailed = -2;  // those before the file the error names
    const struct {
        const char* copyPath;
        const char* fault;
        int error;
        bool rewritten;
        int restored;  // how many files, first in the listing, are new
    } kCases[] = {
        {"unnamed", "fstatat 3 5", kDeviceIoError, false, 0},
        {"buffered", "pwrite 1 zero all", kDiskFull, false, kAny},
        {"unnamed", "copy_file_range 1 rewrite", kDeviceIoError, true, kAny},
        {"buffered", "pread 1 rewrite", kDeviceIoError, true, kAny},
        {"unnamed", "copy_file_range 3 writeback", kDeviceIoError, false, kBeforeTheFailed},
        {"buffered", "pwrite 3 writeback", kDeviceIoError, false, kBeforeTheFailed},
        {"unnamed", "syncfs 1 28; openat @k.hxd 5", kDiskFull, false, 0},
    };
    for (const auto& c : kCases) {
        const Sandbox sandbox;
        const Outcome outcome = Restore(sandbox, c.copyPath, c.fault);
        ASSERT_NO_FATAL_FAILURE(CheckRun(sandbox, outcome, c.fault, c.rewritten));
        EXPECT_EQ(ErrorNumberOf(outcome), c.error) << c.fault << ": " << outcome.error;
        if (c.restored == kAny) continue;
        const auto& files = sandbox.files();
        const auto named = std::find_if(files.begin(), files.end(), [&](const ChartFile& file) {
            return outcome.error.ends_with(" " + sandbox.Destination(file).string());
        });
        const auto restored = c.restored == kBeforeTheFailed ? named - files.begin() : c.restored;
        EXPECT_TRUE(c.restored != kBeforeTheFailed || named != files.end()) << outcome.error;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const State expected = static_cast<long>(i) < restored ? State::New : State::Old;
            EXPECT_EQ(StateOf(sandbox, sandbox.files()[i]), expected) << c.fault << ": " << i;
        }
    }
}

TEST_F(FaultSweep, ACopyWhoseCloseFailsIsNotInPlace) {
    Sandbox sandbox;
    const Outcome clean = Restore(sandbox, "unnamed", "");
    for (long n = 1; n <= clean.counts.at("close"); ++n) {
        sandbox.ResetToOld();
        const Outcome outcome = Restore(sandbox, "unnamed", "close " + std::to_string(n) + " 5");
        ASSERT_NO_FATAL_FAILURE(CheckRun(sandbox, outcome, "close " + std::to_string(n)));
    }
}

}  // namespace
}  // namespace velmira
