#pragma once

#include <string>
#include <string_view>

#include "platform/DriveRoots.h"

namespace velmira {

// "\Velmira\set\info.ini" on the current drive.
DrivePath SettingsFilePath(const DriveRoots& drives);

// The first delimited field of the settings file's bytes, still in code
// page 932, by the rules and cap of FirstFieldScanner. Raises error 62 when
// the bytes hold no field.
std::string FirstField(std::string_view bytes);

// Reads the settings file's first field into BaseModule::SitePrefecture.
// Raises the numbered error of a missing or unreadable file, 62 for a file
// without a field.
void LoadSitePrefecture(const DriveRoots& drives);

}  // namespace velmira
