#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

namespace velmira {

// Virus scanners and the search indexer open a file for a moment just when
// it is written, and keep others from it meanwhile. A step that another
// program's hold refuses (sharing or lock violation, access denied) is
// tried again, a little later each time, for up to kPatience in all.
class HeldRetry {
  public:
    static constexpr std::chrono::milliseconds kPatience{3000};

    // Whether `code` is how Windows refuses a file that another program
    // holds.
    static bool IsHold(DWORD code);

    // Calls `attempt`, which returns 0 or a Win32 error code, until it
    // returns something else than a hold or the patience is spent; returns
    // its last result.
    static DWORD Run(const std::function<DWORD()>& attempt);
};

}  // namespace velmira
