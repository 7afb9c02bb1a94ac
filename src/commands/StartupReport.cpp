#include "commands/StartupReport.h"

#include "settings/SitePrefecture.h"

namespace velmira {

namespace {

constexpr const char* kCannotStartText = "起動できません。\n\n";

std::string Heading(const NumberedError& error) {
    return kCannotStartText +
           ("エラー " + std::to_string(error.code()) + ": " + error.description());
}

// The native path (or what else failed), for whoever has to fix it.
std::string Detail(const NumberedError& error) {
    if (error.detail().empty()) return {};
    return "\n(" + error.detail() + ")";
}

// A numbered error before the start window, such as drives that cannot be
// set up.
std::string Report(const NumberedError& error) {
    return Heading(error) + Detail(error);
}

// Any other failure before the windows run.
std::string Report(const std::exception& error) {
    return kCannotStartText + std::string(error.what());
}

}  // namespace

std::string StartupReport::Title() {
    return "バックアップデータ復元";
}

std::string StartupReport::OfCurrent(const DriveRoots* loadDrives) {
    try {
        throw;
    } catch (const NumberedError& error) {
        return loadDrives != nullptr ? Text(error, *loadDrives) : Report(error);
    } catch (const std::exception& error) {
        return Report(error);
    }
}

std::string StartupReport::Text(const NumberedError& error, const DriveRoots& drives) {
    return Heading(error) + "\n設定ファイル: " + SettingsFilePath(drives).Display() + Detail(error);
}

}  // namespace velmira
