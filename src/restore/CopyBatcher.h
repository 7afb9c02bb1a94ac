#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "EventPump.h"
#include "FileCopier.h"

namespace velmira {

// Copies a run's files so that none takes its name before its data is on
// the disk, without waiting for the disk once per file: the files are
// copied into new files in batches; a full batch is flushed aside while the
// next one is copied, and takes its names once that next one is full in
// turn, or at the end. Every file is always its old or its new content.
class CopyBatcher {
  public:
    // A batch is full at this many bytes or files, whichever comes first
    // (fewer files where few may be held open).
    static constexpr std::uintmax_t kBatchBytes = std::uintmax_t{8} << 20;
    static constexpr std::size_t kBatchFiles = 512;

    // `events`, when given, are handled while the copier works aside.
    explicit CopyBatcher(EventPump* events = nullptr);
    // Copies that never took their names go, leaving their destinations.
    ~CopyBatcher() = default;
    CopyBatcher(const CopyBatcher&) = delete;
    CopyBatcher& operator=(const CopyBatcher&) = delete;

    // Copies source into a new file that takes destination's name later.
    // Raises a numbered error on failure; the files before it then still
    // wait for Finish. A batch that was full is flushed or named here, and
    // its failure is raised here too.
    void Copy(const std::filesystem::path& source, const std::filesystem::path& destination,
              std::optional<std::uintmax_t> listedSize = std::nullopt);

    // Every file copied takes its name and is on the disk, names included.
    // Raises a numbered error when not: the files before the failure are
    // then named, the others keep their old content, and a second Finish
    // makes the names given durable. Also after a failure elsewhere: what
    // was copied before it is kept.
    void Finish();

  private:
    bool Full() const;
    // Starts the flush of the batch being filled, and names the one flushed
    // before it.
    void Seal();
    void NameFlushed();
    // Waits for the batch flushing aside and leaves its files unnamed.
    void DropFlushing();

    std::size_t batchFiles_;
    // The batch flushing aside, empty when none is. Before the copier, so
    // that the copier's threads have ended when it goes.
    std::vector<PendingCopy> flushing_;
    FileCopier copier_;
    std::vector<PendingCopy> filling_;
    std::uintmax_t fillingBytes_ = 0;
};

}  // namespace velmira
