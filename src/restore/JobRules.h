#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/DrivePath.h"
#include "restore/RestoreJob.h"
#include "settings/SiteRegion.h"

namespace velmira {

// The drive of the chart system's folders, where every restored file goes.
inline constexpr char kChartSystemDrive = 'C';

// Which job a Start command runs for the region and option 0's state.
RestoreJob SelectJob(SiteRegion region, bool option0Selected);

// The backup folder of the job on the drive: "F:\BackUp" or "F:\BackUp2".
DrivePath ListingFolder(RestoreJob job, char driveLetter);

// Where a listed file is read: the listing folder and the bare name.
DrivePath SourcePath(RestoreJob job, char driveLetter, const std::filesystem::path& fileName);

// Where a listed file goes on C:, or none for a chart file without a route.
std::optional<DrivePath> DestinationPath(RestoreJob job, const std::filesystem::path& fileName);

// The running caption (UTF-8), ending in four half-width middle dots.
const std::string& JobCaption(RestoreJob job);

// The index of the restore window's file list that lists the job's folder.
int JobLister(RestoreJob job);

}  // namespace velmira
