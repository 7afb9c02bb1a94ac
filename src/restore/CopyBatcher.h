#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "platform/CallThread.h"
#include "platform/EventPump.h"
#include "platform/FileCopier.h"
#include "restore/CopyLanes.h"

namespace velmira {

// Copies a run's files so that none takes its name before its data is on
// the disk, without waiting for the disk once per file: the files are
// copied into new files in batches; a full batch is flushed aside while the
// next one is copied, and takes its names once that next one is full in
// turn, or at the end. Every file is always its old or its new content.
//
// Every step that touches a disk (a copy, a name, a discard) runs on the
// batcher's own thread, to which the calling (window) thread hands a few
// files at a time and returns at once; it waits, handling its events, only
// when the thread is still busy with the files handed over before. A
// failing stick that stalls one read for seconds then never stops the
// window. A copy's failure is therefore raised by a later Copy or by Finish.
//
// That thread keeps a few copies in flight at once on lanes of their own
// (CopyLanes), so that the stick reads the next files while a scanner holds
// one file's open or close, and takes them back in the files' order: the
// names, the bar and the failure reported all follow that order, and
// whatever was in flight after a failure is discarded.
class CopyBatcher {
  public:
    // A batch is full at this many bytes or files, whichever comes first
    // (fewer files where few may be held open): each batch costs one flush
    // of the file system, which waits for its journal.
    static constexpr std::uintmax_t kBatchBytes = std::uintmax_t{64} << 20;
    static constexpr std::size_t kBatchFiles = 4096;
    // Files are handed to the batcher's thread this many, or this many
    // bytes, at a time, so that a hand-over costs nothing beside the copies
    // and the progress shown runs only a little ahead of them.
    static constexpr std::size_t kHandOverFiles = 32;
    static constexpr std::uintmax_t kHandOverBytes = std::uintmax_t{256} << 10;

    // Copies in flight at once, and given to the lanes before the oldest is
    // taken back: enough that a lane is never idle while the oldest waits.
    static constexpr std::size_t kCopyLanes = 8;
    static constexpr std::size_t kInFlight = 2 * kCopyLanes;

    // `events`, when given, are handled while the calling thread waits.
    explicit CopyBatcher(EventPump* events = nullptr);
    // Copies that never took their names go, leaving their destinations.
    ~CopyBatcher();
    CopyBatcher(const CopyBatcher&) = delete;
    CopyBatcher& operator=(const CopyBatcher&) = delete;

    // Copies source into a new file that takes destination's name later.
    // Raises the numbered error of a copy, flush or name that failed since
    // the last call; the files before the failure then still wait for
    // Finish, and no file after it is copied: until Finish, every Copy
    // raises that failure again. With listedSize, a source
    // whose size is no longer the listed one is refused (57).
    void Copy(const std::filesystem::path& source, const std::filesystem::path& destination,
              std::optional<std::uintmax_t> listedSize = std::nullopt);

    // Every file copied takes its name and is on the disk, names included.
    // Raises a numbered error when not: the files before the failure are
    // then named, the others keep their old content, and the names given
    // are made durable all the same. A failure to flush or name comes
    // before a failed copy in the files' order and is the one raised. Also
    // after a failure raised by Copy: what was copied before it is kept.
    void Finish();

  private:
    struct Request {
        std::filesystem::path source;
        std::filesystem::path destination;
        std::optional<std::uintmax_t> listedSize;
    };

    std::vector<Request> TakeGathered();
    // Waits for the files handed over before and hands over the next ones.
    void HandOver();

    // On the batcher's thread.
    void CopyAll(const std::vector<Request>& requests);
    // Takes the oldest copy in flight into the batch being filled.
    void TakeCopied();
    void FinishAside(const std::vector<Request>& requests);
    bool Full() const;
    // Starts the flush of the batch being filled, and names the one flushed
    // before it.
    void Seal();
    void NameFlushed();
    // Waits for the flush of `flushed`; where it failed at one file, the
    // files before it take their names before the failure is raised.
    void AwaitFlush(std::vector<PendingCopy>& flushed);
    // Waits for the batch flushing aside and leaves its files unnamed.
    void DropFlushing();
    void Discard();

    EventPump* events_;
    std::size_t batchFiles_;
    // Gathered on the calling thread, not yet handed over.
    std::vector<Request> gathered_;
    std::uintmax_t gatheredBytes_ = 0;
    std::exception_ptr failure_;  // raised by Copy since the last Finish

    // Only touched on the batcher's thread. The batch flushing aside, empty
    // when none is, declared before the copier so that the copier's threads,
    // which read it, have ended before it goes.
    std::vector<PendingCopy> flushing_;
    std::unique_ptr<FileCopier> copier_;
    // After the copier, whose copies it runs.
    CopyLanes lanes_{kCopyLanes};
    std::vector<PendingCopy> filling_;
    std::uintmax_t fillingBytes_ = 0;

    // Declared last so that it is destroyed first: its call ends before the
    // members the call uses are destroyed.
    CallThread thread_;
};

}  // namespace velmira
