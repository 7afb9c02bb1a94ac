#pragma once

#include "drives/DriveLetterSink.h"
#include "drives/DriveSource.h"

namespace velmira {

// Clears the sink and appends the letter of every removable drive but A, in
// the source's (ascending) order. Errors stop the listing; letters appended
// before stay in the sink.
void RemovableDriveList(DriveLetterSink& sink, DriveSource& source);

}  // namespace velmira
