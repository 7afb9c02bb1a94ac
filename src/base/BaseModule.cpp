#include "base/BaseModule.h"

namespace velmira::BaseModule {

std::string SitePrefecture;

}  // namespace velmira::BaseModule
