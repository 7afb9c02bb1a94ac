#include "drives/WindowsDrives_win.h"

#include <windows.h>

#include <string>

#include "platform/NumberedError.h"
#include "platform/OsError.h"

namespace velmira {

namespace {

std::wstring RootText(char letter) {
    return std::wstring{static_cast<wchar_t>(letter), L':', L'\\'};
}

bool IsDriveLetter(char letter) {
    return letter >= 'A' && letter <= 'Z';
}

// Keeps Windows from asking the operator to insert a disk while a drive
// without a medium is probed; the probe fails quietly instead.
class QuietCriticalErrors {
  public:
    QuietCriticalErrors() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    ~QuietCriticalErrors() { ::SetThreadErrorMode(previous_, nullptr); }
    QuietCriticalErrors(const QuietCriticalErrors&) = delete;
    QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

  private:
    DWORD previous_ = 0;
};

DriveType TypeOf(UINT windowsType) {
    switch (windowsType) {
        case DRIVE_REMOVABLE:
            return DriveType::Removable;
        case DRIVE_FIXED:
            return DriveType::Fixed;
        case DRIVE_REMOTE:
            return DriveType::Network;
        case DRIVE_CDROM:
            return DriveType::CdRom;
        case DRIVE_RAMDISK:
            return DriveType::RamDisk;
        default:
            return DriveType::Unknown;
    }
}

}  // namespace

std::filesystem::path WindowsDrives::Root(char letter) const {
    const std::string shown = std::string(1, letter) + ":\\";
    if (!IsDriveLetter(letter) || (::GetLogicalDrives() & (1UL << (letter - 'A'))) == 0) {
        throw NumberedError(ErrorNumber::DeviceUnavailable, shown);
    }
    const std::wstring root = RootText(letter);
    QuietCriticalErrors quiet;
    // Any failure at the root itself (not ready, no medium, a mount whose
    // folder is gone) means the drive cannot be used.
    if (::GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES) {
        throw NumberedError(ErrorNumber::DeviceUnavailable, shown);
    }
    return std::filesystem::path(root);
}

char WindowsDrives::CurrentDrive() const {
    const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return 'C';
    std::wstring folder(needed, L'\0');
    const DWORD length = ::GetCurrentDirectoryW(needed, folder.data());
    if (length < 2 || length >= needed || folder[1] != L':') return 'C';
    const wchar_t letter = folder[0];
    if (letter >= L'a' && letter <= L'z') return static_cast<char>(letter - L'a' + 'A');
    if (letter >= L'A' && letter <= L'Z') return static_cast<char>(letter);
    return 'C';
}

void WindowsDrives::ForEachDrive(const std::function<void(const DriveEntry&)>& visit) {
    const DWORD present = ::GetLogicalDrives();
    if (present == 0) throw ErrorFromOs(LastOsError(), "GetLogicalDrives");
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if ((present & (1UL << (letter - 'A'))) == 0) continue;
        const UINT type = ::GetDriveTypeW(RootText(letter).c_str());
        // Gone since GetLogicalDrives was asked.
        if (type == DRIVE_NO_ROOT_DIR) continue;
        visit(DriveEntry{letter, TypeOf(type)});
    }
}

}  // namespace velmira
