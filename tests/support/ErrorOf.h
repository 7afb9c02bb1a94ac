#pragma once

#include <functional>

#include "platform/NumberedError.h"

namespace velmira::testing {

// The number of the error an action raises, 0 when it raises none.
inline int ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const NumberedError& error) {
        return error.code();
    }
    return 0;
}

}  // namespace velmira::testing
