#include "platform/RememberedDrives.h"

namespace velmira {

std::filesystem::path RememberedDrives::Root(char letter) const {
    const auto found = roots_.find(letter);
    if (found != roots_.end()) return found->second;
    return roots_.emplace(letter, live_.Root(letter)).first->second;
}

}  // namespace velmira
