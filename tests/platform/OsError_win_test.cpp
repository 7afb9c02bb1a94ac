#include <gtest/gtest.h>
#include <windows.h>

#include "platform/OsError.h"

namespace velmira {
namespace {

TEST(OsErrorWin, Win32CodesMapOntoTheProgramsNumbers) {
    struct Case {
        DWORD code;
        LookingFor lookingFor;
        int number;
    };
    const Case cases[] = {
        {ERROR_FILE_NOT_FOUND, LookingFor::File, 53},
        {ERROR_FILE_NOT_FOUND, LookingFor::Folder, 76},
        {ERROR_PATH_NOT_FOUND, LookingFor::File, 76},
        // The drive or its medium is gone.
        {ERROR_NOT_READY, LookingFor::File, 68},
        {ERROR_INVALID_DRIVE, LookingFor::Folder, 68},
        {ERROR_DEV_NOT_EXIST, LookingFor::File, 68},
        {ERROR_DEVICE_NOT_CONNECTED, LookingFor::File, 68},
        {ERROR_ACCESS_DENIED, LookingFor::File, 70},
        {ERROR_SHARING_VIOLATION, LookingFor::File, 75},
        {ERROR_DISK_FULL, LookingFor::File, 61},
        {ERROR_HANDLE_EOF, LookingFor::File, 62},
        {ERROR_CRC, LookingFor::File, 57},
        {ERROR_INVALID_NAME, LookingFor::File, 75},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorFromOs(static_cast<int>(c.code), "x", c.lookingFor).code(), c.number)
            << "Win32 error " << c.code;
    }
}

TEST(OsErrorWin, LastOsErrorIsTheThreadsLastError) {
    ::SetLastError(ERROR_NOT_READY);
    EXPECT_EQ(LastOsError(), static_cast<int>(ERROR_NOT_READY));
}

}  // namespace
}  // namespace velmira
