#include "platform/FileCopier.h"

// The platform's NewFile (NewFile_linux.h or NewFile_win.h), chosen in CMake.
#include VELMIRA_NEW_FILE_HEADER

namespace velmira {

void NewFileDeleter::operator()(NewFile* file) const noexcept {
    delete file;
}

std::uintmax_t FileCopier::SizeOf(const NewFile& file) {
    return file.size();
}

}  // namespace velmira
