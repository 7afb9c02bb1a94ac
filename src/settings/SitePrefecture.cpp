#include "settings/SitePrefecture.h"

#include "base/BaseModule.h"
#include "platform/FileRead.h"
#include "platform/NumberedError.h"
#include "platform/TextCodec.h"
#include "settings/FirstFieldScanner.h"

namespace velmira {

DrivePath SettingsFilePath(const DriveRoots& drives) {
    return DrivePath{drives.CurrentDrive(), {"Velmira", "set"}, std::filesystem::path("info.ini")};
}

std::string FirstField(std::string_view bytes) {
    FirstFieldScanner scanner;
    scanner.Feed(bytes);
    return scanner.Field();
}

void LoadSitePrefecture(const DriveRoots& drives) {
    const std::filesystem::path file = drives.ToNative(SettingsFilePath(drives));
    // Read only as far as the field goes: the file may be of any size.
    FirstFieldScanner scanner;
    ReadFileChunks(file, [&scanner](std::string_view chunk) {
        scanner.Feed(chunk);
        return !scanner.Done();
    });
    std::string field;
    try {
        field = scanner.Field();
    } catch (const NumberedError& error) {
        throw NumberedError(error.number(), file.string());
    }
    BaseModule::SitePrefecture = Cp932ToUtf8(field);
}

}  // namespace velmira
