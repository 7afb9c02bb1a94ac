#include "drives/LetterAssigner.h"

#include <set>

namespace velmira {

namespace {

// A, B and C belong to the floppy drives and the system disk.
constexpr char kFirstLetter = 'D';
constexpr char kLastLetter = 'Z';

}  // namespace

std::vector<std::optional<char>> LetterAssigner::Assign(const std::vector<std::string>& keys) {
    const std::set<std::string> present(keys.begin(), keys.end());
    std::set<char> used;
    for (auto it = letters_.begin(); it != letters_.end();) {
        if (present.count(it->first) == 0) {
            it = letters_.erase(it);
        } else {
            used.insert(it->second);
            ++it;
        }
    }

    std::vector<std::optional<char>> result;
    result.reserve(keys.size());
    char next = kFirstLetter;
    for (const auto& key : keys) {
        const auto known = letters_.find(key);
        if (known != letters_.end()) {
            result.emplace_back(known->second);
            continue;
        }
        while (next <= kLastLetter && used.count(next) != 0) ++next;
        if (next > kLastLetter) {
            result.emplace_back(std::nullopt);
            continue;
        }
        letters_.emplace(key, next);
        used.insert(next);
        result.emplace_back(next);
    }
    return result;
}

}  // namespace velmira
