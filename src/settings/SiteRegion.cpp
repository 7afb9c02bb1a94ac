#include "settings/SiteRegion.h"

#include "base/BaseModule.h"

namespace velmira {

SiteRegion RegionOf(std::string_view prefecture) {
    if (prefecture == "茨城県") return SiteRegion::Ibaraki;
    if (prefecture == "鳥取県") return SiteRegion::Tottori;
    return SiteRegion::Other;
}

SiteRegion CurrentSiteRegion() {
    return RegionOf(BaseModule::SitePrefecture);
}

}  // namespace velmira
