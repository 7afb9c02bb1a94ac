#pragma once

#include <string_view>

namespace velmira {

enum class SiteRegion { Ibaraki, Tottori, Other };

// The region of a prefecture text: exact, case-sensitive comparison.
SiteRegion RegionOf(std::string_view prefecture);

// The region of BaseModule::SitePrefecture, derived at each call.
SiteRegion CurrentSiteRegion();

}  // namespace velmira
