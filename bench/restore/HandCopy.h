#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace velmira::bench {

// What the restore is measured against: the same files copied by hand.

// `cp -a` of the named files of `source` into `destination`, then
// `sync -f` on the destination; returns the seconds both took.
double TimeHandCopy(const std::filesystem::path& source, const std::vector<std::string>& names,
                    const std::filesystem::path& destination);

// Reads the named files of `source` in full, one after another, each opened
// and closed in turn; returns the seconds.
double TimeReadAll(const std::filesystem::path& source, const std::vector<std::string>& names);

// A plain readdir of the folder, counting its entries; returns the seconds.
double TimeReaddir(const std::filesystem::path& folder, std::size_t* entries = nullptr);

// The number of entries directly in a folder.
std::size_t CountEntries(const std::filesystem::path& folder);

}  // namespace velmira::bench
