#include <windows.h>

#include "platform/OsError.h"

namespace velmira {

NumberedError ErrorFromOs(int osCode, const std::string& detail, LookingFor lookingFor) {
    switch (static_cast<DWORD>(osCode)) {
        case ERROR_FILE_NOT_FOUND:
            return NumberedError(lookingFor == LookingFor::File ? ErrorNumber::FileNotFound
                                                                : ErrorNumber::PathNotFound,
                                 detail);
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY:
            return NumberedError(ErrorNumber::PathNotFound, detail);
        // The drive or its medium is gone: the one case the operator is told
        // apart.
        case ERROR_NOT_READY:
        case ERROR_INVALID_DRIVE:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_NO_MEDIA_IN_DRIVE:
        case ERROR_WRONG_DISK:
            return NumberedError(ErrorNumber::DeviceUnavailable, detail);
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return NumberedError(ErrorNumber::PermissionDenied, detail);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return NumberedError(ErrorNumber::PathFileAccessError, detail);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return NumberedError(ErrorNumber::DiskFull, detail);
        case ERROR_HANDLE_EOF:
            return NumberedError(ErrorNumber::InputPastEndOfFile, detail);
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_IO_DEVICE:
            return NumberedError(ErrorNumber::DeviceIoError, detail);
        default:
            // Invalid names, names too long and the rest: an access error.
            return NumberedError(ErrorNumber::PathFileAccessError, detail);
    }
}

int LastOsError() {
    return static_cast<int>(::GetLastError());
}

}  // namespace velmira
