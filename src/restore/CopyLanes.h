#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/FileCopier.h"

namespace velmira {

// Several copies at once, each on a lane (thread) of its own, taken back in
// the order they were given. A stick answers one request at a time and a
// virus scanner holds each file's open and each new file's close for a
// moment: one copy at a time leaves the stick idle during every such wait,
// while a few in flight keep it busy with the next files meanwhile.
//
// Used from one thread (the batcher's); the lanes start with the first copy
// and end with the object.
class CopyLanes {
  public:
    using Copy = std::function<PendingCopy()>;

    explicit CopyLanes(std::size_t lanes);
    // Drops what was not taken.
    ~CopyLanes();
    CopyLanes(const CopyLanes&) = delete;
    CopyLanes& operator=(const CopyLanes&) = delete;

    // Starts the copy on a free lane, or as soon as one is free.
    void Give(Copy copy);
    // Copies given and not yet taken.
    std::size_t Given();
    // Whether the oldest copy given has ended (false when none was given).
    bool OldestEnded();
    // Waits for the oldest copy given and returns it, or raises its failure.
    PendingCopy TakeOldest();
    // Every copy not taken: those not started never start, the others are
    // waited for, and all are discarded.
    void Drop();

  private:
    struct Slot {
        Copy copy;
        bool started = false;
        bool ended = false;
        PendingCopy result;
        std::exception_ptr error;
    };

    void Serve();

    const std::size_t size_;
    std::mutex mutex_;
    // Apart, so that a copy given wakes one lane, and a copy ended only the
    // thread taking them back, not every idle lane.
    std::condition_variable work_;
    std::condition_variable ended_;
    // Oldest first; a deque keeps each slot in place while a lane fills it.
    std::deque<Slot> slots_;
    std::size_t unstarted_ = 0;
    bool quit_ = false;
    std::vector<std::thread> lanes_;
};

}  // namespace velmira
