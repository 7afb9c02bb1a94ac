#pragma once

#include <sys/stat.h>

#include <filesystem>

#include "platform/FileCopier.h"
#include "platform/NumberedError.h"

namespace velmira {

// The bytes of one copy on Linux: read from the open source and written
// into a new file, sent to the disk as the copy goes on, and asked after
// the flush whether they reached it.

// The source is not the file that was listed, or changed while it was read.
NumberedError SourceChanged(const std::filesystem::path& source);

// Copies an open source into a new file for the destination, with the
// source's mode and times; refuses a source that changed meanwhile (57).
PendingCopy CopyIntoNew(int in, const struct stat& sourceStat, const std::filesystem::path& source,
                        const std::filesystem::path& destination);

// Raises the failure of a new file's data to reach the disk. A flush of the
// whole file system does not say so on every kernel, nor to every caller;
// each file's own descriptor does, and a wait for pages already written
// does no I/O.
void CheckWrittenBack(int fd, const std::filesystem::path& destination);

}  // namespace velmira
