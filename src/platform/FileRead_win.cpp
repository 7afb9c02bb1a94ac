#include <windows.h>

#include "platform/FileHandle_win.h"
#include "platform/FileRead.h"
#include "platform/OsError.h"
#include "platform/TextCodec.h"

namespace velmira {

void ReadFileChunks(const std::filesystem::path& path,
                    const std::function<bool(std::string_view)>& take) {
    // Shared for reading and writing: the chart system may hold the file
    // open while it runs, and it is only read here.
    FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    // Windows tells a missing file (53) from a missing folder (76) itself.
    if (file.get() == INVALID_HANDLE_VALUE) {
        throw ErrorFromOs(LastOsError(), NativeNameToUtf8(path));
    }
    char buffer[kReadChunkBytes];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            throw ErrorFromOs(LastOsError(), NativeNameToUtf8(path));
        }
        if (got == 0) return;
        if (!take(std::string_view(buffer, got))) return;
    }
}

}  // namespace velmira
