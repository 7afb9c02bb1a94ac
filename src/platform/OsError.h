#pragma once

#include <string>

#include "platform/NumberedError.h"

namespace velmira {

// The one place where operating-system error codes (errno on Linux, Win32
// codes on Windows) become the program's numbered errors.
//
// A not-found is 53 when the missing thing is a file and 76 when it is a
// folder on the way; lookingFor says which the caller was looking for.
enum class LookingFor { File, Folder };

NumberedError ErrorFromOs(int osCode, const std::string& detail,
                          LookingFor lookingFor = LookingFor::File);

// The last OS error of the calling thread (errno or GetLastError()).
int LastOsError();

}  // namespace velmira
