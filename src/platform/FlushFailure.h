#pragma once

#include <cstddef>

#include "platform/NumberedError.h"

namespace velmira {

// A batch's flush that failed at one of its files, whose data did not reach
// the disk, after every file before it had: those may still take their
// names.
class FlushFailure : public NumberedError {
  public:
    FlushFailure(const NumberedError& error, std::size_t durable)
        : NumberedError(error), durable_(durable) {}

    // How many files at the batch's start are on the disk.
    std::size_t durable() const noexcept { return durable_; }

  private:
    std::size_t durable_;
};

}  // namespace velmira
