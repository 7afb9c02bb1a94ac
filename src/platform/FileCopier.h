#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "CallThread.h"

namespace velmira {

// Copies files so that a failure never harms what was there: the bytes go to
// a new file in the destination folder, which takes the destination name
// only once complete. The destination folder is never created.
class FileCopier {
  public:
    // Names of the new files before they take their names start so. They
    // are hidden, and the first copy into a folder removes any that a
    // killed run left behind.
    static constexpr const char* kTemporaryPrefix = ".velmira-restore-";

    // Calls that can block for long (a large file's copy, a folder's first
    // look, the flush; on Windows every copy, since each is flushed) run on
    // the copier's own thread; meanwhile `events`, when given, are handled
    // on the calling thread as they arrive. On Linux small files are copied
    // directly, into new files made ahead on the copier's thread, and what
    // they wrote is flushed there as they go.
    explicit FileCopier(EventPump* events = nullptr);
    ~FileCopier();
    FileCopier(const FileCopier&) = delete;
    FileCopier& operator=(const FileCopier&) = delete;

    // Copies source over destination. Raises a numbered error on failure,
    // leaving any earlier destination file exactly as it was and no
    // temporary file behind. With listedSize, a source whose size is no
    // longer the listed one is refused (57): it changed since the listing.
    // A source that changes during the copy is refused the same way. Errors
    // raised on the copier's thread are raised here, unchanged.
    void CopyReplacing(const std::filesystem::path& source,
                       const std::filesystem::path& destination,
                       std::optional<std::uintmax_t> listedSize = std::nullopt);

    // Forces everything copied so far onto the disk, once per destination
    // folder. Raises a numbered error when the data cannot be flushed,
    // also for a flush that ran behind the copies and failed.
    void Flush();

  private:
    // What one platform keeps from one copy to the next.
    struct State;

    EventPump* events_;
    std::unique_ptr<State> state_;
    // Last, so that its calls end before what they use goes.
    CallThread thread_;
};

}  // namespace velmira
