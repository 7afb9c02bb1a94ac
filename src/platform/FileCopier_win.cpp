#include <windows.h>

#include <algorithm>
#include <exception>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/CallPool.h"
#include "platform/DataCopy_win.h"
#include "platform/FileCopier.h"
#include "platform/FileHandle_win.h"
#include "platform/FindHandle_win.h"
#include "platform/FlushFailure.h"
#include "platform/HeldRetry_win.h"
#include "platform/NewFile_win.h"
#include "platform/OsError.h"
#include "platform/TextCodec.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// Flushes of a batch's files go to the disk at once on this many threads:
// one at a time, each waits for the disk on its own.
constexpr std::size_t kFlushThreads = 8;
// Pending copies held at once, each an open handle (as many renamed ones wait
// for their flush): far below what Windows allows, and enough for batches of
// 512 files, past which a batch whose files are each flushed alone gains nothing.
constexpr std::size_t kMostPending = 1024;

std::string Shown(const fs::path& path) {
    return NativeNameToUtf8(path);
}

// A name as Windows compares names: without regard to case.
std::wstring Folded(std::wstring name) {
    ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

// The first look into a destination folder: removes the hidden files that
// killed runs left there and returns the names that can never be replaced,
// read-only files and folders, folded. One look at the whole folder costs
// less than a look per file, which for a name not there yet means a search
// of the whole folder on some file systems. A look that fails part-way
// raises: a read-only file it missed would be replaced where the file
// system does not refuse it.
std::set<std::wstring> LookInto(const fs::path& folder) {
    const std::wstring prefix = Folded(fs::path(FileCopier::kTemporaryPrefix).native());
    std::set<std::wstring> unreplaceable;
    WIN32_FIND_DATAW entry{};
    const FindHandle find(::FindFirstFileExW((folder / L"*").c_str(), FindExInfoBasic, &entry,
                                             FindExSearchNameMatch, nullptr,
                                             FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
        const int code = LastOsError();
        // A missing folder: the copy itself reports it.
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return unreplaceable;
        throw ErrorFromOs(code, Shown(folder), LookingFor::Folder);
    }
    for (;;) {
        const std::wstring name = Folded(entry.cFileName);
        const bool folderEntry = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name.rfind(prefix, 0) == 0 && !folderEntry &&
            !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            // A leftover that cannot go (another run may be writing it) is
            // harmless: it is hidden and never taken for data.
            const fs::path leftover = folder / entry.cFileName;
            ::SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(leftover.c_str());
        } else if (folderEntry || (entry.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
            unreplaceable.insert(name);
        }
        if (!::FindNextFileW(find.get(), &entry)) {
            const int code = LastOsError();
            if (code == ERROR_NO_MORE_FILES) return unreplaceable;
            throw ErrorFromOs(code, Shown(folder), LookingFor::Folder);
        }
    }
}

// The flushes of `files` as calls for the flushers.
void AddFlushes(const std::vector<PendingCopy>& files, std::vector<std::function<void()>>& calls) {
    for (const auto& file : files) calls.emplace_back([&file = *file] { file.Flush(); });
}

}  // namespace

struct FileCopier::State {
    // Whether the destination can never be replaced. The first copy into a
    // folder looks into it, before any copy makes a new file there, while
    // the copies running beside it wait.
    bool Unreplaceable(const fs::path& destination) {
        const std::lock_guard lock(mutex);
        const fs::path folder = destination.parent_path();
        auto looked = unreplaceable.find(folder);
        if (looked == unreplaceable.end()) {
            looked = unreplaceable.emplace(folder, LookInto(folder)).first;
        }
        return looked->second.count(Folded(destination.filename().native())) > 0;
    }

    // Copies run on several threads at once.
    std::mutex mutex;
    // Folders looked into, with their names that can never be replaced.
    std::map<fs::path, std::set<std::wstring>> unreplaceable;
    std::set<fs::path> named;  // folders named into since the names' last flush
    // Files named, open until their names are flushed with the next batch's
    // data or by FlushNames; the first `settling` of them are flushing now.
    std::vector<PendingCopy> renamed;
    std::size_t settling = 0;
    // Declared last so that they are destroyed first: their calls end
    // before the members they use are destroyed.
    CallPool flushers{kFlushThreads};
};

FileCopier::FileCopier() : state_(std::make_unique<State>()) {}

FileCopier::~FileCopier() = default;

PendingCopy FileCopier::Copy(const fs::path& source, const fs::path& destination,
                             std::optional<std::uintmax_t> listedSize) {
    // Windows refuses to rename over such a file anyway, but not every file
    // system does.
    const bool unreplaceable = state_->Unreplaceable(destination);
    return CopyIntoNew(source, destination, listedSize, unreplaceable);
}

std::size_t FileCopier::MostPending() {
    return kMostPending;
}

void FileCopier::StartFlush(const std::vector<PendingCopy>& batch) {
    State& state = *state_;
    // The names given while the batch before flushed go to the disk with this
    // one, first, as they come first in the files' order.
    std::vector<std::function<void()>> flushes;
    AddFlushes(state.renamed, flushes);
    // A batch file's failure tells how many before it are on the disk; a
    // name's, coming first in the files' order, leaves none of them named.
    for (std::size_t i = 0; i < batch.size(); ++i) {
        flushes.emplace_back([&file = *batch[i], i] {
            try {
                file.Flush();
            } catch (const NumberedError& error) {
                throw FlushFailure(error, i);
            }
        });
    }
    state.flushers.Start(std::move(flushes));
    state.settling = state.renamed.size();
}

void FileCopier::FinishFlush() {
    State& state = *state_;
    std::exception_ptr failure;
    try {
        state.flushers.Wait(nullptr);
    } catch (...) {
        failure = std::current_exception();
    }
    // Closed however their flush ended; names given meanwhile stay.
    const auto settled = static_cast<std::ptrdiff_t>(std::exchange(state.settling, 0));
    state.renamed.erase(state.renamed.begin(), state.renamed.begin() + settled);
    if (failure) std::rethrow_exception(failure);
}

void FileCopier::Name(std::vector<PendingCopy> batch) {
    // What follows a failure goes with `batch`.
    for (auto& file : batch) {
        state_->named.insert(file->destination().parent_path());
        file->TakeName();
        state_->renamed.push_back(std::move(file));
    }
}

// Every renamed file flushed, then every folder named into; a failure keeps
// none of the others from their flush, and the first is raised after them.
void FileCopier::FlushNames() {
    std::optional<NumberedError> failure;
    try {
        StartFlush({});
        FinishFlush();
    } catch (const NumberedError& error) {
        failure = error;
    }
    for (const auto& folder : std::exchange(state_->named, {})) {
        try {
            NewFile::FlushFolder(folder);
        } catch (const NumberedError& error) {
            if (!failure) failure = error;
        }
    }
    if (failure) throw *failure;
}

}  // namespace velmira
