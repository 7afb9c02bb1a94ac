#include "restore/CopyLanes.h"

#include <algorithm>
#include <utility>

namespace velmira {

CopyLanes::CopyLanes(std::size_t lanes) : size_(std::max<std::size_t>(lanes, 1)) {}

CopyLanes::~CopyLanes() {
    Drop();
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    work_.notify_all();
    for (auto& lane : lanes_) lane.join();
}

void CopyLanes::Give(Copy copy) {
    // A lane that cannot be made raises here, with nothing given; the lanes
    // made so far serve the copies.
    if (lanes_.size() < size_) lanes_.emplace_back([this] { Serve(); });
    {
        const std::lock_guard lock(mutex_);
        slots_.emplace_back().copy = std::move(copy);
        ++unstarted_;
    }
    work_.notify_one();
}

std::size_t CopyLanes::Given() {
    const std::lock_guard lock(mutex_);
    return slots_.size();
}

bool CopyLanes::OldestEnded() {
    const std::lock_guard lock(mutex_);
    return !slots_.empty() && slots_.front().ended;
}

PendingCopy CopyLanes::TakeOldest() {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return slots_.front().ended; });
    Slot oldest = std::move(slots_.front());
    slots_.pop_front();
    lock.unlock();
    if (oldest.error) std::rethrow_exception(oldest.error);
    return std::move(oldest.result);
}

void CopyLanes::Drop() {
    std::deque<Slot> dropped;
    {
        std::unique_lock lock(mutex_);
        // Those not started are taken out first, so that no lane starts one.
        // Lanes start the oldest first, so these are the newest; taking
        // them from the back leaves the started ones in place.
        while (!slots_.empty() && !slots_.back().started) slots_.pop_back();
        unstarted_ = 0;
        ended_.wait(lock, [this] {
            return std::all_of(slots_.begin(), slots_.end(),
                               [](const Slot& slot) { return slot.ended; });
        });
        dropped.swap(slots_);
    }
    // Their new files go here, on the caller's thread, outside the lock.
}

void CopyLanes::Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return quit_ || unstarted_ > 0; });
        if (unstarted_ == 0) return;
        Slot& slot = *std::find_if(slots_.begin(), slots_.end(),
                                   [](const Slot& candidate) { return !candidate.started; });
        slot.started = true;
        --unstarted_;
        Copy copy = std::move(slot.copy);
        lock.unlock();
        PendingCopy result;
        std::exception_ptr error;
        try {
            result = copy();
        } catch (...) {
            error = std::current_exception();
        }
        copy = nullptr;
        lock.lock();
        // The slot stays in place: nothing takes or drops a started slot
        // before it has ended.
        slot.result = std::move(result);
        slot.error = error;
        slot.ended = true;
        ended_.notify_all();
    }
}

}  // namespace velmira
