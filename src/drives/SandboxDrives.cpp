#include "drives/SandboxDrives.h"

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/FileRead.h"
#include "platform/NumberedError.h"
#include "platform/OsError.h"
#include "platform/TextCodec.h"

namespace velmira {

namespace fs = std::filesystem;

namespace {

constexpr const char* kListName = "drives.txt";

std::optional<DriveType> TypeNamed(std::string_view name) {
    if (name == "fixed") return DriveType::Fixed;
    if (name == "removable") return DriveType::Removable;
    if (name == "cdrom") return DriveType::CdRom;
    if (name == "network") return DriveType::Network;
    if (name == "ramdisk") return DriveType::RamDisk;
    return std::nullopt;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (pos < line.size()) {
        while (pos < line.size() && IsBlank(line[pos])) ++pos;
        const std::size_t start = pos;
        while (pos < line.size() && !IsBlank(line[pos])) ++pos;
        if (pos > start) words.push_back(line.substr(start, pos - start));
    }
    return words;
}

[[noreturn]] void RejectLine(const fs::path& file, int number, std::string_view line,
                             std::string_view why) {
    throw NumberedError(ErrorNumber::PathFileAccessError,
                        NativeNameToUtf8(file) + " line " + std::to_string(number) + ": " +
                            std::string(why) + ": \"" + std::string(line) + "\"");
}

std::map<char, DriveType> ParseDriveList(const fs::path& file, std::string_view text) {
    std::map<char, DriveType> drives;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const auto words = Words(line);
        if (words.empty()) continue;
        if (words.size() != 2) RejectLine(file, number, line, "expected \"<LETTER> <type>\"");
        const std::string_view letter = words[0];
        if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z') {
            RejectLine(file, number, line, "the drive must be one upper-case letter");
        }
        const auto type = TypeNamed(words[1]);
        if (!type) {
            RejectLine(file, number, line,
                       "the type must be fixed, removable, cdrom, network or ramdisk");
        }
        if (!drives.emplace(letter[0], *type).second) {
            RejectLine(file, number, line, "the drive is listed twice");
        }
    }
    return drives;
}

}  // namespace

SandboxDrives::SandboxDrives(fs::path dir) : dir_(std::move(dir)) {
    std::error_code error;
    if (!fs::is_directory(dir_, error)) {
        throw NumberedError(ErrorNumber::PathNotFound, NativeNameToUtf8(dir_));
    }
    Drives();
}

std::map<char, DriveType> SandboxDrives::Drives() const {
    const fs::path list = dir_ / kListName;
    std::error_code error;
    if (!fs::exists(list, error)) return DrivesFromFolders();
    return ParseDriveList(list, ReadFileBytes(list));
}

std::map<char, DriveType> SandboxDrives::DrivesFromFolders() const {
    std::map<char, DriveType> drives;
    std::error_code error;
    fs::directory_iterator entry(dir_, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        // Looked at in the native encoding, so that a name the ANSI code
        // page cannot hold is skipped rather than raising.
        const auto name = entry->path().filename().native();
        if (name.size() != 1 || name[0] < 'A' || name[0] > 'Z') continue;
        const char letter = static_cast<char>(name[0]);
        std::error_code ignored;
        if (!entry->is_directory(ignored)) continue;
        drives.emplace(letter, letter == 'C' ? DriveType::Fixed : DriveType::Removable);
    }
    if (error) throw ErrorFromOs(error.value(), NativeNameToUtf8(dir_), LookingFor::Folder);
    return drives;
}

fs::path SandboxDrives::Root(char letter) const {
    const auto drives = Drives();
    const std::string name(1, letter);
    if (drives.count(letter) == 0) {
        throw NumberedError(ErrorNumber::DeviceUnavailable, "drive " + name + ": does not exist");
    }
    const fs::path root = dir_ / name;
    std::error_code error;
    if (!fs::is_directory(root, error)) {
        throw NumberedError(ErrorNumber::DeviceUnavailable, "drive " + name + ": holds no medium");
    }
    return root;
}

void SandboxDrives::ForEachDrive(const std::function<void(const DriveEntry&)>& visit) {
    for (const auto& [letter, type] : Drives()) visit(DriveEntry{letter, type});
}

}  // namespace velmira
