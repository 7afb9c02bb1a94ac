#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "CallPool.h"
#include "CallThread.h"
#include "FileCopier.h"
#include "FileHandle_win.h"
#include "FindHandle_win.h"
#include "HeldRetry_win.h"
#include "NewFile_win.h"
#include "OsError.h"
#include "TextCodec.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

// Flushes of a batch's files go to the disk at once on this many threads:
// one at a time, each waits for the disk on its own.
constexpr std::size_t kFlushThreads = 8;

std::string Shown(const fs::path& path) {
    return NativeNameToUtf8(path);
}

NumberedError SourceChanged(const fs::path& source) {
    return NumberedError(ErrorNumber::DeviceIoError, Shown(source));
}

ULONGLONG SizeOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

bool SameContentStamp(const BY_HANDLE_FILE_INFORMATION& before,
                      const BY_HANDLE_FILE_INFORMATION& after) {
    return SizeOf(before) == SizeOf(after) &&
           ::CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime) == 0;
}

// Copies everything from `in` to `out` in pieces; returns the bytes written.
// The buffer is sized for the file, up to 1 MiB: a 1 MiB buffer made for
// every small file costs more than its copy.
ULONGLONG CopyBytes(HANDLE in, HANDLE out, ULONGLONG listedSize, const fs::path& source,
                    const fs::path& destination) {
    constexpr ULONGLONG kLeast = ULONGLONG{64} << 10;
    constexpr ULONGLONG kMost = ULONGLONG{1} << 20;
    ULONGLONG total = 0;
    std::vector<char> buffer(static_cast<std::size_t>(std::clamp(listedSize, kLeast, kMost)));
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            throw ErrorFromOs(LastOsError(), Shown(source));
        }
        if (got == 0) return total;
        for (DWORD done = 0; done < got;) {
            DWORD put = 0;
            if (!::WriteFile(out, buffer.data() + done, got - done, &put, nullptr)) {
                throw ErrorFromOs(LastOsError(), Shown(destination));
            }
            // A write that takes nothing would be retried for ever.
            if (put == 0) throw NumberedError(ErrorNumber::DiskFull, Shown(destination));
            done += put;
        }
        total += got;
    }
}

HANDLE OpenSource(const fs::path& source) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    const DWORD code = HeldRetry::Run([&]() -> DWORD {
        handle = ::CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle != INVALID_HANDLE_VALUE) return 0;
        const DWORD error = ::GetLastError();
        // A folder in the file's place is refused as such, not waited for.
        const DWORD attributes = error == ERROR_ACCESS_DENIED ? ::GetFileAttributesW(source.c_str())
                                                              : INVALID_FILE_ATTRIBUTES;
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                   ? ERROR_DIRECTORY
                   : error;
    });
    if (code != 0) throw ErrorFromOs(static_cast<int>(code), Shown(source));
    return handle;
}

// Copies source into a new file for destination, with its time and
// read-only attribute.
PendingCopy CopyIntoNew(const fs::path& source, const fs::path& destination,
                        std::optional<std::uintmax_t> listedSize) {
    FileHandle in(OpenSource(source));
    BY_HANDLE_FILE_INFORMATION sourceInfo{};
    if (!::GetFileInformationByHandle(in.get(), &sourceInfo)) {
        throw ErrorFromOs(LastOsError(), Shown(source));
    }
    if (sourceInfo.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw NumberedError(ErrorNumber::PathFileAccessError, Shown(source));
    }
    if (listedSize && SizeOf(sourceInfo) != *listedSize) throw SourceChanged(source);
    // Refused before anything is written. Windows would refuse to rename
    // over such a destination anyway; not every file system does.
    if (NewFile::Unreplaceable(destination)) {
        throw NumberedError(ErrorNumber::PathFileAccessError, Shown(destination));
    }

    PendingCopy file(new NewFile(destination));
    const ULONGLONG written =
        CopyBytes(in.get(), file->handle(), SizeOf(sourceInfo), source, destination);
    BY_HANDLE_FILE_INFORMATION afterInfo{};
    if (!::GetFileInformationByHandle(in.get(), &afterInfo)) {
        throw ErrorFromOs(LastOsError(), Shown(source));
    }
    // The medium changed under the copy or read short: not the whole file.
    if (written != SizeOf(sourceInfo) || !SameContentStamp(sourceInfo, afterInfo)) {
        throw SourceChanged(source);
    }
    if (!::SetFileTime(file->handle(), nullptr, nullptr, &sourceInfo.ftLastWriteTime)) {
        throw ErrorFromOs(LastOsError(), Shown(destination));
    }
    file->SetSize(written);
    file->SetReadOnly((sourceInfo.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0);
    return file;
}

// Removes the hidden files that killed runs left in a folder.
void RemoveLeftovers(const fs::path& folder) {
    const std::wstring pattern =
        (folder / (fs::path(FileCopier::kTemporaryPrefix).native() + L"*")).native();
    WIN32_FIND_DATAW entry{};
    const FindHandle find(::FindFirstFileW(pattern.c_str(), &entry));
    // Nothing left over, or a folder that the copy itself will report.
    if (find.get() == INVALID_HANDLE_VALUE) return;
    do {
        if (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
            continue;
        }
        // A leftover that cannot go (another run may be writing it) is
        // harmless: it is hidden and never taken for data.
        const fs::path leftover = folder / entry.cFileName;
        ::SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(leftover.c_str());
    } while (::FindNextFileW(find.get(), &entry));
}

// A folder's flush writes its entries, the new names among them, and has the
// disk write what it holds in its cache.
void FlushFolder(const fs::path& folder) {
    const FileHandle handle(::CreateFileW(
        folder.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        throw ErrorFromOs(LastOsError(), Shown(folder), LookingFor::Folder);
    }
    if (!::FlushFileBuffers(handle.get())) throw ErrorFromOs(LastOsError(), Shown(folder));
}

}  // namespace

void NewFileDeleter::operator()(NewFile* file) const noexcept {
    delete file;
}

struct FileCopier::State {
    explicit State(EventPump* pump) : events(pump) {}

    EventPump* events;
    std::set<fs::path> prepared;  // folders cleared of what killed runs left
    std::set<fs::path> named;     // folders named into since the names' last flush
    std::vector<PendingCopy> flushing;
    // Last, so that their calls end before what they use goes. Every step
    // that touches a file by its name can wait for another program's hold
    // on it, so even small copies run on the worker.
    CallThread worker;
    CallPool flushers{kFlushThreads};
};

FileCopier::FileCopier(EventPump* events) : state_(std::make_unique<State>(events)) {}

FileCopier::~FileCopier() = default;

PendingCopy FileCopier::Copy(const fs::path& source, const fs::path& destination,
                             std::optional<std::uintmax_t> listedSize) {
    State& state = *state_;
    const fs::path folder = destination.parent_path();
    const bool prepare = state.prepared.insert(folder).second;
    PendingCopy file;
    state.worker.Run(
        [&] {
            if (prepare) RemoveLeftovers(folder);
            file = CopyIntoNew(source, destination, listedSize);
        },
        state.events);
    return file;
}

std::uintmax_t FileCopier::SizeOf(const NewFile& file) {
    return file.size();
}

std::size_t FileCopier::MostPending() {
    return 1024;
}

void FileCopier::StartFlush(std::vector<PendingCopy> batch) {
    State& state = *state_;
    std::vector<std::function<void()>> flushes;
    flushes.reserve(batch.size());
    for (const auto& file : batch) {
        flushes.emplace_back([handle = file->handle(), &destination = file->destination()] {
            if (!::FlushFileBuffers(handle)) {
                throw ErrorFromOs(LastOsError(), Shown(destination));
            }
        });
    }
    state.flushing = std::move(batch);
    state.flushers.Start(std::move(flushes));
}

std::vector<PendingCopy> FileCopier::FinishFlush() {
    State& state = *state_;
    std::vector<PendingCopy> batch = std::move(state.flushing);
    state.flushing.clear();
    state.flushers.Wait(state.events);
    return batch;
}

void FileCopier::Name(std::vector<PendingCopy> batch) {
    State& state = *state_;
    state.worker.Run(
        [&] {
            try {
                for (auto& file : batch) {
                    state.named.insert(file->destination().parent_path());
                    file->TakeName();
                    file.reset();
                }
            } catch (...) {
                // What follows a failure goes here, on the worker: a
                // discard touches the disk.
                batch.clear();
                throw;
            }
        },
        state.events);
}

void FileCopier::FlushNames() {
    State& state = *state_;
    const std::set<fs::path> folders = std::exchange(state.named, {});
    state.worker.Run(
        [&folders] {
            for (const auto& folder : folders) FlushFolder(folder);
        },
        state.events);
}

}  // namespace velmira
