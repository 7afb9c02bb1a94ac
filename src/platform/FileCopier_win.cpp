#include <windows.h>

#include <atomic>
#include <string>

#include "FileCopier.h"
#include "FileHandle_win.h"
#include "OsError.h"
#include "TextCodec.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

std::string Shown(const fs::path& path) {
    return NativeNameToUtf8(path);
}

// A new file in the destination folder that is closed and removed again
// unless released, so that every failure leaves the folder as it was.
class TemporaryFile {
  public:
    explicit TemporaryFile(const fs::path& folder) {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0;; ++attempt) {
            path_ = folder / (L".velmira-restore-" + std::to_wstring(::GetCurrentProcessId()) +
                              L"-" + std::to_wstring(counter++));
            handle_ = ::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            if (handle_ != INVALID_HANDLE_VALUE) return;
            const DWORD code = ::GetLastError();
            path_.clear();
            // Left over by an earlier run that was killed: take another name.
            if ((code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) && attempt < 100) {
                continue;
            }
            throw ErrorFromOs(static_cast<int>(code), Shown(folder), LookingFor::Folder);
        }
    }
    ~TemporaryFile() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
        if (!path_.empty()) {
            ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    HANDLE handle() const { return handle_; }
    const fs::path& path() const { return path_; }

    void CloseOrThrow(const fs::path& destination) {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!::CloseHandle(handle)) throw ErrorFromOs(LastOsError(), Shown(destination));
    }
    void Release() { path_.clear(); }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    fs::path path_;
};

// Copies everything from `in` to `out`; returns the bytes written.
ULONGLONG CopyBytes(HANDLE in, HANDLE out, const fs::path& source, const fs::path& destination) {
    ULONGLONG total = 0;
    std::string buffer(1 << 16, '\0');
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
            done += put;
        }
        total += got;
    }
}

}  // namespace

void FileCopier::CopyReplacing(const fs::path& source, const fs::path& destination) {
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
    const ULONGLONG sourceSize =
        (static_cast<ULONGLONG>(sourceInfo.nFileSizeHigh) << 32) | sourceInfo.nFileSizeLow;

    // A read-only or folder destination is refused before anything is
    // written, as the move below would refuse it.
    const DWORD existing = ::GetFileAttributesW(destination.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES &&
        (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        throw NumberedError(ErrorNumber::PathFileAccessError, Shown(destination));
    }

    const fs::path folder = destination.parent_path();
    TemporaryFile temporary(folder);
    const ULONGLONG written = CopyBytes(in.get(), temporary.handle(), source, destination);
    if (written != sourceSize) {
        // The medium changed under the copy or read short: not the whole file.
        throw NumberedError(ErrorNumber::DeviceIoError, Shown(source));
    }
    if (!::SetFileTime(temporary.handle(), nullptr, nullptr, &sourceInfo.ftLastWriteTime)) {
        throw ErrorFromOs(LastOsError(), Shown(destination));
    }
    // Windows cannot flush a folder, so each file is flushed before it
    // replaces the old one: its data is on the disk before its name is, and
    // before the run reports success.
    if (!::FlushFileBuffers(temporary.handle())) {
        throw ErrorFromOs(LastOsError(), Shown(destination));
    }
    temporary.CloseOrThrow(destination);
    // The read-only attribute is Windows's only permission bit; it travels
    // like the mode bits on Linux.
    if (sourceInfo.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        if (!::SetFileAttributesW(temporary.path().c_str(), FILE_ATTRIBUTE_READONLY)) {
            throw ErrorFromOs(LastOsError(), Shown(destination));
        }
    }
    // An in-use destination fails here (sharing violation or access denied)
    // and keeps its content.
    if (!::MoveFileExW(temporary.path().c_str(), destination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw ErrorFromOs(LastOsError(), Shown(destination));
    }
    temporary.Release();
    written_folders_.insert(folder);
}

void FileCopier::Flush() {
    // Every file was flushed before its move; the moves were written through.
    written_folders_.clear();
}

}  // namespace velmira
