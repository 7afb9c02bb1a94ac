#include "platform/NewFile_win.h"

#include <atomic>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/FileCopier.h"
#include "platform/FileHandle_win.h"
#include "platform/HeldRetry_win.h"
#include "platform/OsError.h"
#include "platform/TextCodec.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

std::string Shown(const fs::path& path) {
    return NativeNameToUtf8(path);
}

}  // namespace

bool NewFile::Unreplaceable(const fs::path& destination) {
    const DWORD attributes = ::GetFileAttributesW(destination.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0;
}

// A folder's flush writes its entries where the file system takes one: only
// an extra, since each renamed file's own flush makes its name durable, and
// FlushFileBuffers is documented for files, volumes and pipes, not folders,
// which NTFS may refuse (access denied where the handle cannot write, an
// invalid or unsupported request elsewhere): no failure then. Opened with
// the right to add a file alone, which whoever restored into it has.
void NewFile::FlushFolder(const fs::path& folder) {
    const FileHandle handle(::CreateFileW(
        folder.c_str(), FILE_ADD_FILE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.get() != INVALID_HANDLE_VALUE && ::FlushFileBuffers(handle.get())) return;
    const DWORD code = ::GetLastError();
    if (code != ERROR_ACCESS_DENIED && code != ERROR_INVALID_FUNCTION &&
        code != ERROR_NOT_SUPPORTED) {
        throw ErrorFromOs(static_cast<int>(code), Shown(folder), LookingFor::Folder);
    }
}

NewFile::NewFile(const fs::path& destination) : destination_(destination) {
    static std::atomic<unsigned> counter{0};
    const fs::path folder = destination.parent_path();
    const std::wstring prefix = fs::path(FileCopier::kTemporaryPrefix).native() +
                                std::to_wstring(::GetCurrentProcessId()) + L"-";
    int taken = 0;
    const DWORD code = HeldRetry::Run([&]() -> DWORD {
        for (;;) {
            path_ = folder / (prefix + std::to_wstring(counter++));
            handle_ = ::CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                                    nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            if (handle_ != INVALID_HANDLE_VALUE) return 0;
            const DWORD error = ::GetLastError();
            // Taken by another run of the same process number: the next name.
            if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || ++taken > 100) {
                return error;
            }
        }
    });
    if (code != 0) {
        path_.clear();
        throw ErrorFromOs(static_cast<int>(code), Shown(folder), LookingFor::Folder);
    }
}

NewFile::~NewFile() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    // A failed close changes nothing on the disk.
    if (named_) {
        ::CloseHandle(handle_);
    } else {
        Discard();
    }
}

void NewFile::TakeName() {
    const DWORD attributes = readOnly_ ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL;
    if (!SetAttributes(attributes, lastWrite_)) {
        throw ErrorFromOs(LastOsError(), Shown(destination_));
    }
    const DWORD code = HeldRetry::Run([this] { return RenameOverDestination(); });
    if (code != 0) {
        // Hidden again, and no longer read-only, which would keep it from
        // being deleted.
        SetAttributes(FILE_ATTRIBUTE_HIDDEN);
        throw ErrorFromOs(static_cast<int>(code), Shown(destination_));
    }
    named_ = true;
}

// Windows waits for a rename to reach the disk in two ways: MoveFileExW with
// MOVEFILE_WRITE_THROUGH, by names, which would need this file closed or
// shared for deletion, and a flush of the renamed file itself: NTFS commits
// its journal, the rename's records among them, when a file is flushed.
// FlushFileBuffers is documented for files; on a folder it may be refused.
void NewFile::Flush() const {
    if (::FlushFileBuffers(handle_)) return;
    if (!named_) throw ErrorFromOs(LastOsError(), Shown(destination_));
    throw ErrorFromOs(LastOsError(), Shown(destination_.parent_path()), LookingFor::Folder);
}

bool NewFile::SetAttributes(DWORD attributes, LARGE_INTEGER lastWrite) {
    FILE_BASIC_INFO basic{};  // times of zero stay as they are
    basic.LastWriteTime = lastWrite;
    basic.FileAttributes = attributes;
    return ::SetFileInformationByHandle(handle_, FileBasicInfo, &basic, sizeof basic) != 0;
}

DWORD NewFile::RenameOverDestination() {
    const std::wstring& name = destination_.native();
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::memcpy(rename->FileName, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
    if (::SetFileInformationByHandle(handle_, FileRenameInfo, rename,
                                     static_cast<DWORD>(buffer.size()))) {
        return 0;
    }
    const DWORD code = ::GetLastError();
    // A read-only file or a folder in the destination's place is refused
    // as such, not waited for.
    if (code == ERROR_ACCESS_DENIED && Unreplaceable(destination_)) return ERROR_FILE_READ_ONLY;
    return code;
}

void NewFile::Discard() noexcept {
    const HANDLE handle = std::exchange(handle_, INVALID_HANDLE_VALUE);
    FILE_DISPOSITION_INFO dispose{TRUE};
    const bool disposed =
        ::SetFileInformationByHandle(handle, FileDispositionInfo, &dispose, sizeof dispose) != 0;
    ::CloseHandle(handle);
    // Where the handle could not delete it, by its name; what is left then
    // is hidden, and the next run into this folder removes it.
    if (!disposed && !path_.empty()) {
        ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path_.c_str());
    }
}

}  // namespace velmira
