#include <windows.h>

#include "FileRead.h"
#include "OsError.h"
#include "TextCodec.h"

namespace velmira {

namespace {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

}  // namespace

std::string ReadFileBytes(const std::filesystem::path& path) {
    // Shared for reading and writing: the chart system may hold the file
    // open while it runs, and it is only read here.
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // Windows tells a missing file (53) from a missing folder (76) itself.
    if (file.get() == INVALID_HANDLE_VALUE) {
        throw ErrorFromOs(LastOsError(), NativeNameToUtf8(path));
    }
    std::string bytes;
    char buffer[8192];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            throw ErrorFromOs(LastOsError(), NativeNameToUtf8(path));
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    return bytes;
}

}  // namespace velmira
