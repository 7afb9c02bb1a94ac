#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmira {

// Gives volumes drive letters from D to Z and keeps each letter while its
// volume stays present, as Windows does for the volumes it mounts.
class LetterAssigner {
  public:
    // keys: the volumes present now, in the order they were found, each key
    // once. A volume that is no longer present frees its letter first; then
    // each present volume keeps its letter or gets the lowest free one.
    // Volumes past Z get none. The result is parallel to keys.
    std::vector<std::optional<char>> Assign(const std::vector<std::string>& keys);

  private:
    std::map<std::string, char> letters_;
};

}  // namespace velmira
