#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmira::testing {

// A fresh folder under the system's temporary folder, removed with its
// content when the object goes.
class TempDir {
  public:
    TempDir();
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

// The whole content of a file, or "<missing>".
std::string ReadAll(const std::filesystem::path& path);

}  // namespace velmira::testing
