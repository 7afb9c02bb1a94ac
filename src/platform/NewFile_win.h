#pragma once

#include <windows.h>

#include <filesystem>

namespace velmira {

// The file that receives a copy's bytes before it takes the destination's
// name: a new hidden file in the destination folder, closed and removed
// again unless committed, so that every failure leaves the folder as it was.
class NewFile {
  public:
    explicit NewFile(const std::filesystem::path& folder);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    HANDLE handle() const { return handle_; }

    // Closes the file, gives it its final attributes (read-only or normal,
    // no longer hidden) and moves it over the destination. Raises a
    // numbered error and leaves the destination as it was when it cannot.
    void Commit(const std::filesystem::path& destination, bool readOnly);

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::filesystem::path path_;
};

}  // namespace velmira
