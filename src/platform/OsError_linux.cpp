#include <cerrno>

#include "platform/OsError.h"

namespace velmira {

NumberedError ErrorFromOs(int osCode, const std::string& detail, LookingFor lookingFor) {
    switch (osCode) {
        case ENOENT:
            return NumberedError(lookingFor == LookingFor::File ? ErrorNumber::FileNotFound
                                                                : ErrorNumber::PathNotFound,
                                 detail);
        case ENOTDIR:
            return NumberedError(ErrorNumber::PathNotFound, detail);
        case EACCES:
        case EPERM:
        case EROFS:
            return NumberedError(ErrorNumber::PermissionDenied, detail);
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return NumberedError(ErrorNumber::DiskFull, detail);
        case EIO:
            return NumberedError(ErrorNumber::DeviceIoError, detail);
        case ENXIO:
        case ENODEV:
        case ENOMEDIUM:
            return NumberedError(ErrorNumber::DeviceUnavailable, detail);
        default:
            // Busy files, names too long, loops and the rest: an access error.
            return NumberedError(ErrorNumber::PathFileAccessError, detail);
    }
}

int LastOsError() {
    return errno;
}

}  // namespace velmira
