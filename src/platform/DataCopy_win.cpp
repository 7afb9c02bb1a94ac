#include "platform/DataCopy_win.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/FileHandle_win.h"
#include "platform/HeldRetry_win.h"
#include "platform/NewFile_win.h"
#include "platform/OsError.h"
#include "platform/TextCodec.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

std::string Shown(const fs::path& path) {
    return NativeNameToUtf8(path);
}

NumberedError SourceChanged(const fs::path& source) {
    return NumberedError(ErrorNumber::DeviceIoError, Shown(source));
}

// What a copy needs to know of its source. Asked for by class rather than
// with GetFileInformationByHandle, which also asks for the volume's details
// each time: a good part of a small file's copy on some systems.
struct SourceStamp {
    ULONGLONG size = 0;
    LARGE_INTEGER lastWrite{};
    DWORD attributes = 0;

    bool operator==(const SourceStamp& other) const {
        return size == other.size && lastWrite.QuadPart == other.lastWrite.QuadPart;
    }
};

SourceStamp StampOf(HANDLE file, const fs::path& source) {
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!::GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
        !::GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard)) {
        throw ErrorFromOs(LastOsError(), Shown(source));
    }
    return {static_cast<ULONGLONG>(standard.EndOfFile.QuadPart), basic.LastWriteTime,
            basic.FileAttributes};
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

}  // namespace

PendingCopy CopyIntoNew(const fs::path& source, const fs::path& destination,
                        std::optional<std::uintmax_t> listedSize, bool unreplaceable) {
    FileHandle in(OpenSource(source));
    const SourceStamp before = StampOf(in.get(), source);
    if (before.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        throw NumberedError(ErrorNumber::PathFileAccessError, Shown(source));
    }
    if (listedSize && before.size != *listedSize) throw SourceChanged(source);
    if (unreplaceable) throw NumberedError(ErrorNumber::PathFileAccessError, Shown(destination));

    PendingCopy file(new NewFile(destination));
    const ULONGLONG written = CopyBytes(in.get(), file->handle(), before.size, source, destination);
    // The medium changed under the copy or read short: not the whole file.
    if (written != before.size || !(StampOf(in.get(), source) == before)) {
        throw SourceChanged(source);
    }
    file->SetTimeAndAttributes(before.lastWrite,
                               (before.attributes & FILE_ATTRIBUTE_READONLY) != 0);
    file->SetSize(written);
    return file;
}

}  // namespace velmira
