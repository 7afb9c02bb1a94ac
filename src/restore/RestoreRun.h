#pragma once

#include "platform/DriveRoots.h"
#include "restore/ProgressView.h"
#include "restore/RestoreJob.h"

namespace velmira {

// Runs one job for one drive letter against the view: lists the job's
// folder, copies every listed file (routed for the chart job) while the bar
// grows, and flushes what it wrote before returning. Errors are numbered
// errors and are not caught here; they end the run where they arose.
void RunRestoreJob(RestoreJob job, char driveLetter, ProgressView& view, const DriveRoots& drives);

}  // namespace velmira
