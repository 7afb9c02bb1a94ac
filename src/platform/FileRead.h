#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace velmira {

// The most bytes ReadFileChunks hands over at once.
inline constexpr std::size_t kReadChunkBytes = 8192;

// Reads a file from its start, opened for reading only, handing each piece
// read (kReadChunkBytes at most, never empty) to `take` until `take` returns
// false or the file ends; a reader that wants only the start of a file stops
// there, whatever its size. Raises a numbered error when the file cannot be
// opened or read: 53 for a missing file, 76 for a missing folder on the way,
// 70/75 for access.
void ReadFileChunks(const std::filesystem::path& path,
                    const std::function<bool(std::string_view)>& take);

// Reads a whole (small) file as bytes, raising as ReadFileChunks does.
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace velmira
