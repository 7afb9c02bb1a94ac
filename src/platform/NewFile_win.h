#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>

namespace velmira {

// The file that receives a copy's bytes before it takes the destination's
// name: a new hidden file in the destination folder, open with no sharing,
// so that no other program can open it, until it has its name. Every step
// of it goes through that one handle, which stays open after the rename
// until the name is flushed; unless it took its name it is deleted through
// it when the object goes, so every failure leaves the folder as it was.
class NewFile {
  public:
    explicit NewFile(const std::filesystem::path& destination);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    HANDLE handle() const { return handle_; }
    const std::filesystem::path& destination() const { return destination_; }
    std::uintmax_t size() const { return size_; }
    void SetSize(std::uintmax_t size) { size_ = size; }
    // The source's last write time and read-only attribute (Windows's only
    // permission bit, which travels like the mode bits on Linux), given to
    // the file as it takes its name, in one step with its other attributes.
    void SetTimeAndAttributes(LARGE_INTEGER lastWrite, bool readOnly) {
        lastWrite_ = lastWrite;
        readOnly_ = readOnly;
    }

    // Whether a read-only file or a folder is in the destination's place:
    // no wait makes it replaceable.
    static bool Unreplaceable(const std::filesystem::path& destination);
    // Flushes a folder's entries where the file system takes it; only an
    // extra to each renamed file's Flush. Raises a numbered error.
    static void FlushFolder(const std::filesystem::path& folder);

    // Gives the file its final attributes (no longer hidden) and the
    // destination's name, replacing a file of that name; the file stays open
    // for Flush. A destination another program holds is waited for
    // (HeldRetry). Raises a numbered error and leaves the destination as it
    // was when it cannot.
    void TakeName();
    // Writes what the file holds to the disk: its data before it takes its
    // name, and its name after. Raises a numbered error naming the
    // destination before the name, its folder after it (the file is then in
    // place, its name perhaps not on the disk).
    void Flush() const;

  private:
    bool SetAttributes(DWORD attributes, LARGE_INTEGER lastWrite = {});
    DWORD RenameOverDestination();
    void Discard() noexcept;

    std::filesystem::path destination_;
    std::filesystem::path path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::uintmax_t size_ = 0;
    LARGE_INTEGER lastWrite_{};
    bool readOnly_ = false;
    bool named_ = false;  // it has the destination's name: closed, never deleted
};

}  // namespace velmira
