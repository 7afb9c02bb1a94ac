#include "SitePrefecture.h"

#include "BaseModule.h"
#include "FileRead.h"
#include "NumberedError.h"
#include "TextCodec.h"

namespace velmira {

namespace {

bool IsBlankBefore(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool EndsUnquoted(char c) {
    return c == ',' || c == '\r' || c == '\n';
}
bool IsTrailingBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

DrivePath SettingsFilePath(const DriveRoots& drives) {
    return DrivePath{drives.CurrentDrive(), {"Velmira", "set"}, std::filesystem::path("info.ini")};
}

// Code page 932 trail bytes never take the values of space, tab, quote,
// comma, CR or LF, so the field can be cut on the raw bytes.
//
// Leading spaces, tabs and line breaks are skipped; an unquoted field loses
// trailing spaces and tabs; a quote that is never closed runs to the end of
// the file. A full-width space is a character like any other and is kept.
std::string FirstField(std::string_view bytes) {
    std::size_t at = 0;
    while (at < bytes.size() && IsBlankBefore(bytes[at])) ++at;
    if (at == bytes.size()) {
        throw NumberedError(ErrorNumber::InputPastEndOfFile, "no field before the end of the file");
    }
    if (bytes[at] == '"') {
        const std::size_t close = bytes.find('"', at + 1);
        const std::size_t end = close == std::string_view::npos ? bytes.size() : close;
        return std::string(bytes.substr(at + 1, end - at - 1));
    }
    std::size_t end = at;
    while (end < bytes.size() && !EndsUnquoted(bytes[end])) ++end;
    while (end > at && IsTrailingBlank(bytes[end - 1])) --end;
    return std::string(bytes.substr(at, end - at));
}

void LoadSitePrefecture(const DriveRoots& drives) {
    const std::filesystem::path file = drives.ToNative(SettingsFilePath(drives));
    const std::string bytes = ReadFileBytes(file);
    std::string field;
    try {
        field = FirstField(bytes);
    } catch (const NumberedError& error) {
        throw NumberedError(error.number(), file.string());
    }
    BaseModule::SitePrefecture = Cp932ToUtf8(field);
}

}  // namespace velmira
