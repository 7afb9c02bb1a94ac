#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace velmira::testing {

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempDir {
  public:
    TempDir();
    explicit TempDir(const std::filesystem::path& parent);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // Writes bytes to path()/relative, creating the folders on the way.
    std::filesystem::path Write(const std::filesystem::path& relative,
                                std::string_view bytes) const;
    // Creates path()/relative and its parents.
    std::filesystem::path MakeDir(const std::filesystem::path& relative) const;

  private:
    std::filesystem::path path_;
};

// Writes bytes to a file, creating the folders on the way.
void WriteFile(const std::filesystem::path& file, std::string_view bytes);

// The sorted names of what a folder holds.
std::vector<std::string> FolderEntries(const std::filesystem::path& folder);

// The whole content of a file, or "<missing>".
std::string ReadAll(const std::filesystem::path& path);

}  // namespace velmira::testing
