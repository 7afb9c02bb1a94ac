#pragma once

#include <exception>
#include <string>

#include "platform/DriveRoots.h"
#include "platform/NumberedError.h"

namespace velmira {

// What the operator is told when the program cannot start: the error's
// number and description and the settings file it was reading. Shown before
// any window exists, so it is the only thing on the screen. Texts are UTF-8
// with LF line breaks; each front end shows them in a plain box.
class StartupReport {
  public:
    // The exit status of a program that could not start.
    static constexpr int kCannotStart = 1;

    static std::string Title();

    // The report of the failure being handled, from within a catch block:
    // a numbered error's, with the settings file of `loadDrives` when the
    // start window's load failed over them, or any other exception's.
    static std::string OfCurrent(const DriveRoots* loadDrives = nullptr);

    // The report of a failed start window load.
    static std::string Text(const NumberedError& error, const DriveRoots& drives);
};

}  // namespace velmira
