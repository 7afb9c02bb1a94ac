#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velmira {

// A drive-letter path kept in its parts: the letter, fixed folder names
// (plain ASCII, written into the program) and an optional file name exactly
// as the platform listed it. It becomes a native path only at the OS
// boundary (DriveRoots::ToNative), so a listed name is never split at "\"
// nor re-encoded.
struct DrivePath {
    char letter = 'C';
    std::vector<std::string> folders;
    std::optional<std::filesystem::path> fileName;

    // The Windows form, "C:\Velmira\H15\name", for messages and tests.
    // Without a file name a folder path ends without a separator.
    std::string Display() const;

    // The same folders with a file name added.
    DrivePath WithFile(std::filesystem::path name) const;

    bool operator==(const DrivePath&) const = default;
};

}  // namespace velmira
