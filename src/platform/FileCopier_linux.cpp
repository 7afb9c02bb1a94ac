#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/CallPool.h"
#include "platform/CallThread.h"
#include "platform/DataCopy_linux.h"
#include "platform/Descriptor_linux.h"
#include "platform/Directory_linux.h"
#include "platform/FileCopier.h"
#include "platform/FlushFailure.h"
#include "platform/NewFile_linux.h"
#include "platform/OsError.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// New files settled (named for the moment and closed) at once after their
// flush: a virus scanner holds each new file's close for a moment.
constexpr std::size_t kSettlers = 8;
// The descriptors a process may open, as far as it matters here. The soft
// limit is raised towards the hard one first (often 1,024 against far more):
// the program waits on nothing that a high descriptor would trouble. Each
// unnamed new file is held open until it takes its name, so the limit sets
// how many files one flush of the disk can cover.
std::size_t DescriptorLimit() {
    static const std::size_t limit = [] {
        constexpr rlim_t kPlenty = 16384;
        struct rlimit current {};
        if (::getrlimit(RLIMIT_NOFILE, &current) != 0) return std::size_t{1024};
        if (current.rlim_cur != RLIM_INFINITY && current.rlim_cur < kPlenty &&
            current.rlim_max > current.rlim_cur) {
            struct rlimit raised = current;
            raised.rlim_cur = std::min(current.rlim_max, kPlenty);
            if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) current = raised;
        }
        return current.rlim_cur == RLIM_INFINITY
                   ? std::size_t{kPlenty}
                   : static_cast<std::size_t>(std::min(current.rlim_cur, kPlenty));
    }();
    return limit;
}

// Removes the hidden files that killed runs left in a folder.
void RemoveLeftovers(const fs::path& folder) {
    const Directory dir = OpenDirectory(folder);
    const int fd = ::dirfd(dir.get());
    const std::size_t prefixLength = std::strlen(FileCopier::kTemporaryPrefix);
    while (const dirent* entry = ::readdir(dir.get())) {
        if (std::strncmp(entry->d_name, FileCopier::kTemporaryPrefix, prefixLength) != 0) {
            continue;
        }
        struct stat st {};
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) {
            continue;
        }
        // A leftover that cannot go is harmless: it is hidden and never
        // taken for data, and the copy's own steps report a folder that
        // cannot be written.
        ::unlinkat(fd, entry->d_name, 0);
    }
}

// One syncfs per file system covers every file and name in it, unnamed
// files included. A folder that cannot be opened does not keep the others'
// file systems from their flush; the first failure is raised after them.
void FlushFolders(const std::set<fs::path>& folders) {
    std::set<dev_t> flushed;
    std::optional<NumberedError> failure;
    for (const auto& folder : folders) {
        try {
            Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            if (fd.get() < 0) throw ErrorFromOs(errno, folder.string(), LookingFor::Folder);
            struct stat st {};
            if (::fstat(fd.get(), &st) != 0) throw ErrorFromOs(errno, folder.string());
            if (!flushed.insert(st.st_dev).second) continue;
            if (::syncfs(fd.get()) != 0) throw ErrorFromOs(errno, folder.string());
        } catch (const NumberedError& error) {
            if (!failure) failure = error;
        }
    }
    if (failure) throw *failure;
}

}  // namespace

struct FileCopier::State {
    ~State() {
        for (const auto& [folder, fd] : sourceFolders) ::close(fd);
    }

    // The source opened by its name in its folder, which is opened once and
    // kept open: each source is then opened by its name alone, not by a
    // walk along its path. -1 with errno set when it cannot be.
    int OpenSource(const fs::path& source) {
        int folderFd = -1;
        {
            const std::lock_guard lock(mutex);
            const fs::path folder = source.parent_path();
            auto found = sourceFolders.find(folder);
            if (found == sourceFolders.end()) {
                const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                if (fd < 0) return -1;
                found = sourceFolders.emplace(folder, fd).first;
            }
            folderFd = found->second;
        }
        return ::openat(folderFd, source.filename().c_str(),
                        O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    }

    // Clears a destination folder of what killed runs left, once, before
    // any copy makes a new file there: a temporary name of this run must
    // never be taken for a leftover.
    void Prepare(const fs::path& folder) {
        const std::lock_guard lock(mutex);
        if (prepared.count(folder) > 0) return;
        RemoveLeftovers(folder);
        prepared.insert(folder);
    }

    // Copies run on several threads at once; these are shared by them.
    std::mutex mutex;
    std::map<fs::path, int> sourceFolders;
    std::set<fs::path> prepared;  // folders cleared of what killed runs left

    // Only touched by the naming thread.
    std::set<fs::path> named;  // folders named into since the names' last flush
    // Declared last so that they are destroyed first: their calls end
    // before the members they use are destroyed.
    CallPool settlers{kSettlers};
    CallThread flusher;
};

FileCopier::FileCopier() : state_(std::make_unique<State>()) {}

FileCopier::~FileCopier() = default;

PendingCopy FileCopier::Copy(const fs::path& source, const fs::path& destination,
                             std::optional<std::uintmax_t> listedSize) {
    State& state = *state_;
    Descriptor in(state.OpenSource(source));
    if (in.get() < 0) throw ErrorFromOs(errno, source.string());
    struct stat sourceStat {};
    if (::fstat(in.get(), &sourceStat) != 0) throw ErrorFromOs(errno, source.string());
    if (!S_ISREG(sourceStat.st_mode)) {
        throw NumberedError(ErrorNumber::PathFileAccessError, source.string());
    }
    if (listedSize && static_cast<std::uintmax_t>(sourceStat.st_size) != *listedSize) {
        throw SourceChanged(source);
    }
    state.Prepare(destination.parent_path());
    return CopyIntoNew(in.get(), sourceStat, source, destination);
}

std::size_t FileCopier::MostPending() {
    // Each pending copy holds one descriptor; the other half is left for
    // the sources being read, the folders and whatever else the program
    // has open.
    return std::max<std::size_t>(DescriptorLimit() / 2, 2);
}

void FileCopier::StartFlush(const std::vector<PendingCopy>& batch) {
    std::set<fs::path> folders;
    std::vector<NewFile*> files;
    files.reserve(batch.size());
    for (const auto& file : batch) {
        folders.insert(file->destination().parent_path());
        files.push_back(file.get());
    }
    CallPool& settlers = state_->settlers;
    state_->flusher.Start([folders = std::move(folders), files = std::move(files), &settlers] {
        FlushFolders(folders);
        std::vector<std::function<void()>> settles;
        settles.reserve(files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            settles.emplace_back([file = files[i], i] {
                try {
                    CheckWrittenBack(file->fd(), file->destination());
                    file->Settle();
                } catch (const NumberedError& error) {
                    throw FlushFailure(error, i);
                }
            });
        }
        // The first failure in the batch's order, once all have ended: the
        // files before it are on the disk and settled.
        settlers.Start(std::move(settles));
        settlers.Wait(nullptr);
    });
}

void FileCopier::FinishFlush() {
    state_->flusher.Wait(nullptr);
}

void FileCopier::Name(std::vector<PendingCopy> batch) {
    // What follows a failure goes with `batch`.
    for (auto& file : batch) {
        state_->named.insert(file->destination().parent_path());
        file->TakeName();
        file.reset();
    }
}

void FileCopier::FlushNames() {
    FlushFolders(std::exchange(state_->named, {}));
}

}  // namespace velmira
