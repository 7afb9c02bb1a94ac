#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/FileCopier.h"

namespace velmira {

// Copies source into a new file for destination, with its time and
// read-only attribute, on Windows. With listedSize, a source of another
// size is refused (57), as is one that changes under the copy: it is opened
// with no write sharing, so only a failing medium can. An unreplaceable
// destination is refused once the source is known to be there, before
// anything is written.
PendingCopy CopyIntoNew(const std::filesystem::path& source,
                        const std::filesystem::path& destination,
                        std::optional<std::uintmax_t> listedSize, bool unreplaceable);

}  // namespace velmira
