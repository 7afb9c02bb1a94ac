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
    try {
        NameFlushed();
    } catch (...) {
        // The files after a failure are not restored.
        filling_.clear();
        fillingBytes_ = 0;
        throw;
    }
    copier_.StartFlush(std::exchange(filling_, {}));
    fillingBytes_ = 0;
    flushing_ = true;
}

void CopyBatcher::NameFlushed() {
    if (!flushing_) return;
    flushing_ = false;
    copier_.Name(copier_.FinishFlush());
}

}  // namespace velmira
