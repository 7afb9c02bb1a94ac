#pragma once

#include <filesystem>

namespace velmira {

// The file that receives a copy's bytes before it takes the destination's
// name. Where the file system allows, it has no name at all until then
// (O_TMPFILE), so a killed run leaves nothing; elsewhere it has a hidden
// temporary name. Unless committed, it is closed and gone when the object
// goes, so every failure leaves the folder as it was.
class NewFile {
  public:
    // A new file in `folder`: `spare` when that is an unnamed file made there
    // ahead, else one made now.
    explicit NewFile(const std::filesystem::path& folder, int spare = -1);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    int fd() const { return fd_; }

    // An unnamed new file in `folder`, or -1 with errno set when the file
    // system cannot make one or it could not be named.
    static int MakeUnnamed(const std::filesystem::path& folder);

    // Gives an unnamed file the destination's name when that name is free,
    // in one step, and returns true; false when the name is taken or this
    // file has a name already, for Replace.
    bool TakeFreeName(const std::filesystem::path& destination);

    // Gives the file the destination's name, replacing a file (or a link:
    // never what it points to) of that name. Raises a numbered error and
    // leaves the destination as it was when it cannot.
    void Replace(const std::filesystem::path& destination);

  private:
    void LinkUnderTemporaryName();
    void CloseOrThrow(const std::filesystem::path& destination);

    std::filesystem::path folder_;
    std::filesystem::path named_;  // empty while the file has no name
    int fd_ = -1;
};

}  // namespace velmira
