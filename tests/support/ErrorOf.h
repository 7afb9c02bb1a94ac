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

// The number of the error that one copy raises by the copier's finish,
// where a copy's failure is told; 0 when it raises none.
template <typename Copier, typename... Arguments>
int CopyErrorOf(Copier& copier, const Arguments&... arguments) {
    return ErrorOf([&] {
        copier.Copy(arguments...);
        copier.Finish();
    });
}

}  // namespace velmira::testing
