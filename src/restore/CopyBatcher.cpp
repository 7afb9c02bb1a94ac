#include "restore/CopyBatcher.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "platform/FlushFailure.h"

namespace velmira {

namespace {

// Runs one finishing step; the first failure among them is kept.
template <typename Step>
void Keeping(std::exception_ptr& first, Step step) {
    try {
        step();
    } catch (...) {
        if (!first) first = std::current_exception();
    }
}

}  // namespace

CopyBatcher::CopyBatcher(EventPump* events)
    : events_(events),
      // Two batches are held at once, one flushing and one filling.
      batchFiles_(std::clamp<std::size_t>(FileCopier::MostPending() / 2, 1, kBatchFiles)),
      copier_(std::make_unique<FileCopier>()) {}

CopyBatcher::~CopyBatcher() {
    // Finish has normally left nothing. What a skipped Finish left, and the
    // copier with the stick's folder it holds open, go on the batcher's
    // thread, since a discard or a close touches the disk too; the members'
    // own destructors are the last resort.
    try {
        thread_.Wait(nullptr);
    } catch (...) {
        // A failure nobody asked for any more: the run is being abandoned.
    }
    try {
        thread_.Run(
            [this] {
                Discard();
                copier_.reset();
            },
            nullptr);
    } catch (...) {
        // No thread to run it on: the members' destructors discard.
    }
}

void CopyBatcher::Copy(const std::filesystem::path& source,
                       const std::filesystem::path& destination,
                       std::optional<std::uintmax_t> listedSize) {
    // No file after a failure is restored, nor named after the ones before.
    if (failure_) std::rethrow_exception(failure_);
    gathered_.push_back({source, destination, listedSize});
    gatheredBytes_ += listedSize.value_or(0);
    if (gathered_.size() >= kHandOverFiles || gatheredBytes_ >= kHandOverBytes) HandOver();
}

std::vector<CopyBatcher::Request> CopyBatcher::TakeGathered() {
    gatheredBytes_ = 0;
    return std::exchange(gathered_, {});
}

void CopyBatcher::HandOver() {
    std::vector<Request> requests = TakeGathered();
    try {
        thread_.Wait(events_);
    } catch (...) {
        failure_ = std::current_exception();
        throw;
    }
    thread_.Start([this, requests = std::move(requests)] { CopyAll(requests); });
}

void CopyBatcher::Finish() {
    std::vector<Request> requests = TakeGathered();
    std::exception_ptr copyError;
    try {
        thread_.Wait(events_);
    } catch (...) {
        copyError = std::current_exception();
    }
    // After a failure only what was copied before it is finished.
    if (failure_ || copyError) requests.clear();
    failure_ = nullptr;
    thread_.Run([this, &requests] { FinishAside(requests); }, events_);
    if (copyError) std::rethrow_exception(copyError);
}

void CopyBatcher::CopyAll(const std::vector<Request>& requests) {
    try {
        for (const Request& request : requests) {
            while (lanes_.Given() >= kInFlight) TakeCopied();
            lanes_.Give([this, request] {
                return copier_->Copy(request.source, request.destination, request.listedSize);
            });
            while (lanes_.OldestEnded()) TakeCopied();
        }
    } catch (...) {
        // The files after a failure are not restored.
        lanes_.Drop();
        throw;
    }
}

void CopyBatcher::TakeCopied() {
    PendingCopy file = lanes_.TakeOldest();
    fillingBytes_ += FileCopier::SizeOf(*file);
    filling_.push_back(std::move(file));
    if (Full()) Seal();
}

void CopyBatcher::FinishAside(const std::vector<Request>& requests) {
    std::exception_ptr copyError;
    Keeping(copyError, [&] {
        CopyAll(requests);
        while (lanes_.Given() > 0) TakeCopied();
    });
    lanes_.Drop();
    // The files before a failure still take their names, and the names
    // given are made durable whatever fails on the way, so that the files
    // the operator is told are restored survive a power cut.
    std::exception_ptr finishError;
    Keeping(finishError, [&] {
        if (!filling_.empty()) Seal();
    });
    if (!finishError) Keeping(finishError, [&] { NameFlushed(); });
    Keeping(finishError, [&] { copier_->FlushNames(); });
    Discard();
    if (finishError) std::rethrow_exception(finishError);
    if (copyError) std::rethrow_exception(copyError);
}

bool CopyBatcher::Full() const {
    return filling_.size() >= batchFiles_ || fillingBytes_ >= kBatchBytes;
}

void CopyBatcher::Seal() {
    std::vector<PendingCopy> flushed = std::exchange(flushing_, {});
    try {
        if (!flushed.empty()) AwaitFlush(flushed);
    } catch (...) {
        // The files after a failure are not restored.
        filling_.clear();
        fillingBytes_ = 0;
        throw;
    }
    std::vector<PendingCopy> batch = std::exchange(filling_, {});
    fillingBytes_ = 0;
    copier_->StartFlush(batch);
    flushing_ = std::move(batch);
    // The flush started first, so that the names are given while the disk
    // takes it.
    try {
        copier_->Name(std::move(flushed));
    } catch (...) {
        DropFlushing();
        throw;
    }
}

void CopyBatcher::DropFlushing() {
    const std::vector<PendingCopy> dropped = std::exchange(flushing_, {});
    try {
        copier_->FinishFlush();
    } catch (...) {
        // Its files are dropped anyway, and they come after the failure
        // being reported in the files' order.
    }
}

void CopyBatcher::NameFlushed() {
    if (flushing_.empty()) return;
    std::vector<PendingCopy> flushed = std::exchange(flushing_, {});
    AwaitFlush(flushed);
    copier_->Name(std::move(flushed));
}

void CopyBatcher::AwaitFlush(std::vector<PendingCopy>& flushed) {
    try {
        copier_->FinishFlush();
    } catch (const FlushFailure& failure) {
        // The files before the one whose data failed are on the disk, so
        // they are restored; a failure to name one of them comes first in
        // the files' order and is raised instead.
        flushed.resize(std::min(failure.durable(), flushed.size()));
        copier_->Name(std::move(flushed));
        throw;
    }
}

void CopyBatcher::Discard() {
    lanes_.Drop();
    if (!flushing_.empty()) DropFlushing();
    filling_.clear();
    fillingBytes_ = 0;
}

}  // namespace velmira
