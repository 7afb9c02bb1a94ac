#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace velmira {

class NewFile;

struct NewFileDeleter {
    // A new file that never took its name goes, leaving nothing behind.
    void operator()(NewFile* file) const noexcept;
};

// A copy written in full into a new file of its destination's folder, open,
// not yet under the destination's name.
using PendingCopy = std::unique_ptr<NewFile, NewFileDeleter>;

// The platform's steps of a copy that never harms what was there: the bytes
// go to a new file in the destination folder, which is made durable and
// only then takes the destination name. When to take each step is decided
// by the caller (CopyBatcher); the destination folder is never created.
//
// Every step blocks its caller, which is never a window's thread: a copy or
// a name can wait for a failing disk or stick for seconds. Only the flush
// runs on the copier's own threads, so that the caller copies meanwhile.
class FileCopier {
  public:
    // Names of the new files before they take their names start so. They
    // are hidden, and the first copy into a folder removes any that a
    // killed run left behind.
    static constexpr const char* kTemporaryPrefix = ".velmira-restore-";

    FileCopier();
    ~FileCopier();
    FileCopier(const FileCopier&) = delete;
    FileCopier& operator=(const FileCopier&) = delete;

    // Copies source into a new file for destination, with the source's time
    // and permissions. Raises a numbered error on failure, leaving nothing
    // behind. With listedSize, a source whose size is no longer the listed
    // one is refused (57): it changed since the listing; one that changes
    // during the copy is refused the same way. A destination that can never
    // be replaced (read-only, a folder) is refused here where the platform
    // knows it without a look per file (Windows), else as it takes its name.
    PendingCopy Copy(const std::filesystem::path& source, const std::filesystem::path& destination,
                     std::optional<std::uintmax_t> listedSize = std::nullopt);
    // The size of a pending copy's data.
    static std::uintmax_t SizeOf(const NewFile& file);
    // How many pending copies may be held at once: each keeps a file open.
    static std::size_t MostPending();

    // Starts making the data of `batch` durable, aside; the batch must stay
    // as it is until FinishFlush. A flush started before must be finished.
    void StartFlush(const std::vector<PendingCopy>& batch);
    // Waits for the flush started last, if any; raises its numbered error,
    // also where only one file's data failed to reach the disk: then a
    // FlushFailure, which tells how many files before it did.
    void FinishFlush();

    // Gives each copy of a flushed batch, in order, its destination's name,
    // replacing the file (or link: never what it points to) of that name.
    // Raises at the first copy that cannot take it; that copy and the ones
    // after it are discarded, their destinations as they were.
    void Name(std::vector<PendingCopy> batch);

    // Makes durable every name given since the last call. No flush may be
    // in flight.
    void FlushNames();

  private:
    // What one platform keeps from one step to the next.
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace velmira
