#include "NewFile_win.h"

#include <atomic>
#include <string>

#include "FileCopier.h"
#include "OsError.h"
#include "TextCodec.h"

namespace velmira {

namespace fs = std::filesystem;

NewFile::NewFile(const fs::path& folder) {
    static std::atomic<unsigned> counter{0};
    const fs::path prefix = fs::path(FileCopier::kTemporaryPrefix);
    for (int attempt = 0;; ++attempt) {
        path_ = folder / (prefix.native() + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                          std::to_wstring(counter++));
        handle_ = ::CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (handle_ != INVALID_HANDLE_VALUE) return;
        const DWORD code = ::GetLastError();
        path_.clear();
        // Taken by another run of the same process number: the next name.
        if ((code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) && attempt < 100) {
            continue;
        }
        throw ErrorFromOs(static_cast<int>(code), NativeNameToUtf8(folder), LookingFor::Folder);
    }
}

NewFile::~NewFile() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    if (!path_.empty()) {
        ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path_.c_str());
    }
}

void NewFile::Commit(const fs::path& destination, bool readOnly) {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!::CloseHandle(handle)) throw ErrorFromOs(LastOsError(), NativeNameToUtf8(destination));
    // The read-only attribute is Windows's only permission bit; it travels
    // like the mode bits on Linux. Hidden was only for the unfinished file.
    if (!::SetFileAttributesW(path_.c_str(),
                              readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL)) {
        throw ErrorFromOs(LastOsError(), NativeNameToUtf8(destination));
    }
    // An in-use destination fails here (sharing violation or access denied)
    // and keeps its content.
    if (!::MoveFileExW(path_.c_str(), destination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw ErrorFromOs(LastOsError(), NativeNameToUtf8(destination));
    }
    path_.clear();
}

}  // namespace velmira
