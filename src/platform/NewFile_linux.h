#pragma once

#include <cstdint>
#include <filesystem>

namespace velmira {

// The file that receives a copy's bytes before it takes the destination's
// name. Where the file system allows, it has no name at all until then
// (O_TMPFILE), so a killed run leaves nothing; elsewhere it has a hidden
// temporary name. Unless it took its name, it is closed and gone when the
// object goes, so every failure leaves the folder as it was.
class NewFile {
  public:
    // A new file for `destination`, in its folder.
    explicit NewFile(const std::filesystem::path& destination);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    int fd() const { return fd_; }
    const std::filesystem::path& destination() const { return destination_; }
    std::uintmax_t size() const { return size_; }
    void SetSize(std::uintmax_t size) { size_ = size; }

    // Makes the file ready to take its name once its data is on the disk:
    // gives it a hidden temporary name if it has none and closes it. Apart
    // from the names, so that the closes, which a virus scanner may hold
    // for a moment each, run several at once. Raises a numbered error when
    // it cannot; the file then goes with the object.
    void Settle();

    // Gives the settled file the destination's name by a rename over the
    // file (or link: never what it points to) of that name, which never
    // leaves the name missing or half written. Raises a numbered error and
    // leaves the destination as it was when it cannot.
    void TakeName();

  private:
    void LinkUnderTemporaryName();
    void CloseOrThrow();

    std::filesystem::path destination_;
    std::filesystem::path named_;  // empty while the file has no name
    std::uintmax_t size_ = 0;
    int fd_ = -1;
};

}  // namespace velmira
