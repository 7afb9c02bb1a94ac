#include "CopyBatcher.h"

#include <algorithm>
#include <utility>

namespace velmira {

CopyBatcher::CopyBatcher(EventPump* events)
    : batchFiles_(std::clamp<std::size_t>(FileCopier::MostPending() / 2, 1, kBatchFiles)),
      copier_(events) {}

void CopyBatcher::Copy(const std::filesystem::path& source,
                       const std::filesystem::path& destination,
                       std::optional<std::uintmax_t> listedSize) {
    PendingCopy file = copier_.Copy(source, destination, listedSize);
    fillingBytes_ += FileCopier::SizeOf(*file);
    filling_.push_back(std::move(file));
    if (Full()) Seal();
}

void CopyBatcher::Finish() {
    if (!filling_.empty()) Seal();
    NameFlushed();
    copier_.FlushNames();
}

bool CopyBatcher::Full() const {
    return filling_.size() >= batchFiles_ || fillingBytes_ >= kBatchBytes;
}

void CopyBatcher::Seal() {
    std::vector<PendingCopy> flushed = std::exchange(flushing_, {});
    try {
        if (!flushed.empty()) copier_.FinishFlush();
    } catch (...) {
        // The files after a failure are not restored.
        filling_.clear();
        fillingBytes_ = 0;
        throw;
    }
    std::vector<PendingCopy> batch = std::exchange(filling_, {});
    fillingBytes_ = 0;
    copier_.StartFlush(batch);
    flushing_ = std::move(batch);
    // The flush started first, so that the names are given while the disk
    // takes it.
    try {
        copier_.Name(std::move(flushed));
    } catch (...) {
        DropFlushing();
        throw;
    }
}

void CopyBatcher::DropFlushing() {
    const std::vector<PendingCopy> dropped = std::exchange(flushing_, {});
    try {
        copier_.FinishFlush();
    } catch (...) {
        // Later in the files' order than the failure being reported.
    }
}

void CopyBatcher::NameFlushed() {
    if (flushing_.empty()) return;
    std::vector<PendingCopy> flushed = std::exchange(flushing_, {});
    copier_.FinishFlush();
    copier_.Name(std::move(flushed));
}

}  // namespace velmira
