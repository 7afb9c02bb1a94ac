#pragma once

#include <filesystem>
#include <string>

namespace velmira {

// Tells whether a mount table may have changed since it was last asked.
// On the kernel's own table (/proc/.../mountinfo) the kernel says so through
// an open file; any other file (a copy, a test's table) is compared by its
// content, since the kernel never signals a change to an ordinary file.
class MountTableWatch {
  public:
    explicit MountTableWatch(std::filesystem::path mountInfo);
    ~MountTableWatch();
    MountTableWatch(const MountTableWatch&) = delete;
    MountTableWatch& operator=(const MountTableWatch&) = delete;

    // True on the first call and whenever the table may have changed since
    // the previous call; true too when the table cannot be looked at, so
    // that the reader meets the error itself. Ask before reading the table:
    // a change made while it is read is then reported by the next call.
    bool Changed();

  private:
    std::filesystem::path mountInfo_;
    // Open on the kernel's table, else -1.
    int kernelTable_ = -1;
    bool asked_ = false;
    // The last content of a table that is an ordinary file.
    std::string lastText_;
    bool lastTextRead_ = false;
};

}  // namespace velmira
