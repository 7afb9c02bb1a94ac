#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "FileCopier.h"
#include "TempDir.h"

namespace velmira {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

constexpr unsigned kSecondsPerRun = 10;  // a run still going then has hung
constexpr int kDeviceIoError = 57;
constexpr int kDiskFull = 61;

struct ChartFile {
    std::string name;
    std::string folder;  // H15 or set
    std::string content;
    std::optional<std::string> old;  // none: no old destination
};

// A restore's own tmpfs sandbox: its flush costs nothing, so every call
// position can be tried in CI. The backup holds a dozen files of mixed
// sizes, empty, sparse and multi-MiB among them, half with old copies, and
// `manySmall` more small files with old copies.
class Sandbox {
  public:
    explicit Sandbox(int manySmall = 0)
        : dir_(fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) {
        for (const char* folder : {"H15", "set", "cb", "kdata"})
            dir_.MakeDir(fs::path("C/Velmira") / folder);
        dir_.Write("C/Velmira/H15/keep.dat", "not from the backup");
        dir_.Write("C/outside.sxd", "outside the chart folders");
        dir_.Write("F/BackUp/readme.txt", "not restored");
        const auto add = [&](std::string name, std::string folder, std::string content,
                             std::optional<std::string> old) {
            dir_.Write(fs::path("F/BackUp") / name, content);
            files_.push_back({std::move(name), std::move(folder), std::move(content), old});
        };
        add("a.sxd", "H15", "", "old a");
        add("b.sxd", "H15", std::string(100, 'b'), std::nullopt);
        add("c.ini", "set", std::string(3000, 'c'), "old c");
        add("d.hxd", "set", std::string(70000, 'd'), "old d");
        add("e.sxd", "H15", std::string((5 << 20) + 123, 'e'), "old e");
        add("g.sxd", "H15", std::string(1 << 20, 'g'), "old g");
        add("h.sxd", "H15", "h", "old h");
        add("i.ini", "set", "i", std::nullopt);
        add("j.sxd", "H15", std::string((2 << 20) + 1, 'j'), std::nullopt);
        add("k.hxd", "set", std::string(500, 'k'), "old k");
        // Data at the start and in the middle, a hole at the end.
        std::string sparse(6 << 20, '\0');
        sparse.replace(0, 4096, 4096, 's');
        sparse.replace(3 << 20, 5000, 5000, 't');
        add("f.sxd", "H15", sparse, std::nullopt);
        const int fd = ::open(Source(files_.back()).c_str(), O_WRONLY | O_TRUNC);
        EXPECT_EQ(::pwrite(fd, sparse.data(), 4096, 0), 4096);
        EXPECT_EQ(::pwrite(fd, sparse.data() + (3 << 20), 5000, 3 << 20), 5000);
        EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(sparse.size())), 0);
        ::close(fd);
        for (int i = 0; i < manySmall; ++i) {
            const std::string number = std::to_string(10000 + i);
            add("m" + number + ".sxd", "H15", "m" + number, "old m" + number);
        }
        std::sort(files_.begin(), files_.end(),
                  [](const ChartFile& a, const ChartFile& b) { return a.name < b.name; });
        ResetToOld();
        outside_ = OutsideStamps();
    }

    const fs::path& path() const { return dir_.path(); }
    const std::vector<ChartFile>& files() const { return files_; }
    fs::path Source(const ChartFile& file) const { return path() / "F/BackUp" / file.name; }
    fs::path Destination(const ChartFile& file) const {
        return path() / "C/Velmira" / file.folder / file.name;
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

    // Kind, size and time of everything but the chart folders' content.
    std::map<std::string, std::string> OutsideStamps() const {
        std::map<std::string, std::string> stamps;
        for (auto it = fs::recursive_directory_iterator(path()); it != fs::end(it); ++it) {
            const std::string relative = it->path().lexically_relative(path()).string();
            const bool chartFolder = relative.rfind("C/Velmira/", 0) == 0;
            if (chartFolder && relative != "C/Velmira/H15/keep.dat") continue;
            struct stat st {};
            ::lstat(it->path().c_str(), &st);
            stamps[relative] = std::to_string(st.st_mode) + " " + std::to_string(st.st_size) + " " +
                               std::to_string(st.st_mtim.tv_sec) + "." +
                               std::to_string(st.st_mtim.tv_nsec);
        }
        return stamps;
    }
    const std::map<std::string, std::string>& outside() const { return outside_; }

  private:
    TempDir dir_;
    std::vector<ChartFile> files_;
    std::map<std::string, std::string> outside_;
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

enum class State { Old, New, Neither };

// The whole file in one read (a byte-wise read of the multi-MiB files
// would be most of the sweep's time), or "<missing>".
std::string Content(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "<missing>";
    struct stat st {};
    ::fstat(fd, &st);
    std::string content(static_cast<std::size_t>(st.st_size) + 1, '\0');
    const ssize_t got = ::pread(fd, content.data(), content.size(), 0);
    ::close(fd);
    content.resize(static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    return content;
}

State StateOf(const Sandbox& sandbox, const ChartFile& file) {
    const std::string content = Content(sandbox.Destination(file));
    if (content == file.content) return State::New;
    if (content == file.old.value_or("<missing>")) return State::Old;
    return State::Neither;
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
        ASSERT_EQ(sandbox.OutsideStamps(), sandbox.outside()) << label << ": wrote outside";
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
    for (const char* folder : {"H15", "set", "cb", "kdata"}) {
        for (const auto& name : testing::FolderEntries(sandbox.path() / "C/Velmira" / folder)) {
            ASSERT_NE(name.rfind(FileCopier::kTemporaryPrefix, 0), 0U)
                << label << ": " << name << " left in " << folder;
        }
    }
}

bool MovesBytes(const std::string& call) {
    return call == "pread" || call == "pwrite" || call == "copy_file_range";
}

// Fails every call position of every call the restore makes, one run each.
void Sweep(const std::string& copyPath) {
#ifdef VELMIRA_SANITIZED
    GTEST_SKIP() << "LD_PRELOAD does not mix with the sanitizer runtime; the dev build sweeps";
#endif
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

TEST(FaultSweep, UnnamedNewFilesCopiedByTheKernel) {
    Sweep("unnamed");
}

TEST(FaultSweep, CopiesThroughABuffer) {
    Sweep("buffered");
}

TEST(FaultSweep, NewFilesWithTemporaryNames) {
    Sweep("named");
}

// Enough small files for two flushes behind the copies: a flush or a name
// that fails, behind them or at the end, is reported, and the files not yet
// named when it is noticed keep their old content.
TEST(FaultSweep, AFailedFlushOrNameIsReportedWhetherBehindTheCopiesOrAtTheEnd) {
#ifdef VELMIRA_SANITIZED
    GTEST_SKIP() << "LD_PRELOAD does not mix with the sanitizer runtime";
#endif
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

// The faults that once passed as success or hung, or would unnoticed,
// each on its own.
TEST(FaultSweep, AFileThatCannotBeListedIsAnErrorNotASkip) {
#ifdef VELMIRA_SANITIZED
    GTEST_SKIP() << "LD_PRELOAD does not mix with the sanitizer runtime";
#endif
    Sandbox sandbox;
    const Outcome outcome = Restore(sandbox, "unnamed", "fstatat 3 5");
    CheckRun(sandbox, outcome, "listing");
    EXPECT_EQ(ErrorNumberOf(outcome), kDeviceIoError) << outcome.error;
    for (const auto& file : sandbox.files()) EXPECT_EQ(StateOf(sandbox, file), State::Old);
}

TEST(FaultSweep, AWriteThatMakesNoProgressIsAnErrorNotASpin) {
#ifdef VELMIRA_SANITIZED
    GTEST_SKIP() << "LD_PRELOAD does not mix with the sanitizer runtime";
#endif
    Sandbox sandbox;
    const Outcome outcome = Restore(sandbox, "buffered", "pwrite 1 zero all");
    CheckRun(sandbox, outcome, "zero write");
    EXPECT_EQ(ErrorNumberOf(outcome), kDiskFull) << outcome.error;
}

// A chart program writing a file while it is copied: its size is the same,
// its content is not, and the copy would be neither old nor new.
TEST(FaultSweep, ASourceRewrittenUnderItsCopyIsRefused) {
#ifdef VELMIRA_SANITIZED
    GTEST_SKIP() << "LD_PRELOAD does not mix with the sanitizer runtime";
#endif
    for (const auto& [copyPath, fault] : {std::pair{"unnamed", "copy_file_range 1 rewrite"},
                                          std::pair{"buffered", "pread 1 rewrite"}}) {
        const Sandbox sandbox;
        const Outcome outcome = Restore(sandbox, copyPath, fault);
        ASSERT_NO_FATAL_FAILURE(CheckRun(sandbox, outcome, fault, true));
        EXPECT_EQ(ErrorNumberOf(outcome), kDeviceIoError) << fault << ": " << outcome.error;
    }
}

TEST(FaultSweep, ACopyWhoseCloseFailsIsNotInPlace) {
#ifdef VELMIRA_SANITIZED
    GTEST_SKIP() << "LD_PRELOAD does not mix with the sanitizer runtime";
#endif
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
