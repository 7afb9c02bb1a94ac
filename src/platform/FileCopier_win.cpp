#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "FileCopier.h"
#include "FileHandle_win.h"
#include "FindHandle_win.h"
#include "NewFile_win.h"
#include "OsError.h"
#include "TextCodec.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

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

// Copies source into a new file in the destination's folder, flushes it
// and moves it over the destination.
void CopyOver(const fs::path& source, const fs::path& destination,
              std::optional<std::uintmax_t> listedSize) {
    FileHandle in(::CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (in.get() == INVALID_HANDLE_VALUE) throw ErrorFromOs(LastOsError(), Shown(source));
    BY_HANDLE_FILE_INFORMATION sourceInfo{};
    if (!::GetFileInformationByHandle(in.get(), &sourceInfo)) {
        throw ErrorFromOs(LastOsError(), Shown(source));
    }
    if (sourceInfo.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw NumberedError(ErrorNumber::PathFileAccessError, Shown(source));
    }
    if (listedSize && SizeOf(sourceInfo) != *listedSize) throw SourceChanged(source);

    // A read-only or folder destination is refused before anything is
    // written, as the move below would refuse it (Wine's replaces a
    // read-only file); so is one not known to be absent.
    const DWORD existing = ::GetFileAttributesW(destination.c_str());
    const DWORD code = existing == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : ERROR_SUCCESS;
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) {
        throw ErrorFromOs(static_cast<int>(code), Shown(destination));
    }
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        throw NumberedError(ErrorNumber::PathFileAccessError, Shown(destination));
    }

    NewFile file(destination.parent_path());
    const ULONGLONG written =
        CopyBytes(in.get(), file.handle(), SizeOf(sourceInfo), source, destination);
    BY_HANDLE_FILE_INFORMATION afterInfo{};
    if (!::GetFileInformationByHandle(in.get(), &afterInfo)) {
        throw ErrorFromOs(LastOsError(), Shown(source));
    }
    // The medium changed under the copy or read short: not the whole file.
    if (written != SizeOf(sourceInfo) || !SameContentStamp(sourceInfo, afterInfo)) {
        throw SourceChanged(source);
    }
    if (!::SetFileTime(file.handle(), nullptr, nullptr, &sourceInfo.ftLastWriteTime)) {
        throw ErrorFromOs(LastOsError(), Shown(destination));
    }
    // Windows cannot flush a folder, so each file is flushed before it
    // replaces the old one: its data is on the disk before its name is, and
    // before the run reports success.
    if (!::FlushFileBuffers(file.handle())) throw ErrorFromOs(LastOsError(), Shown(destination));
    file.Commit(destination, (sourceInfo.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0);
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

}  // namespace

struct FileCopier::State {
    std::set<fs::path> prepared;  // folders cleared of what killed runs left
};

FileCopier::FileCopier(std::function<void()> keepAlive)
    : keep_alive_(std::move(keepAlive)), state_(std::make_unique<State>()) {}

FileCopier::~FileCopier() = default;

void FileCopier::CopyReplacing(const fs::path& source, const fs::path& destination,
                               std::optional<std::uintmax_t> listedSize) {
    const fs::path folder = destination.parent_path();
    const bool prepare = state_->prepared.insert(folder).second;
    // Every file is flushed before it takes its name, which can take long
    // for a file of any size: the whole copy runs on the copier's thread.
    thread_.Run(
        [&] {
            if (prepare) RemoveLeftovers(folder);
            CopyOver(source, destination, listedSize);
        },
        keep_alive_);
}

void FileCopier::Flush() {
    // Every file was flushed before its move; the moves were written through.
}

}  // namespace velmira
