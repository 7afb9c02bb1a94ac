#pragma once

#include "drives/DriveSource.h"
#include "platform/DriveRoots.h"

namespace velmira {

// What the windows need from the program that shows them: how drive letters
// map to folders, and where the removable drives come from.
struct UiContext {
    const velmira::DriveRoots& drives;
    velmira::DriveSource& driveSource;
};

}  // namespace velmira
