#pragma once

#include <string>

namespace velmira::BaseModule {

// The site's prefecture as read from the settings file at start-up (UTF-8).
// Empty until then; never written again afterwards.
extern std::string SitePrefecture;

}  // namespace velmira::BaseModule
