#pragma once

#include <QString>
#include <exception>

#include "DriveRoots.h"
#include "NumberedError.h"

namespace velmira {

// What the operator is told when the program cannot start: the error's
// number and description and the settings file it was reading. Shown before
// any window exists, so it is the only thing on the screen.
class StartupReport {
  public:
    static QString Title();

    // The report of a failed start window load.
    static QString Text(const NumberedError& error, const DriveRoots& drives);
    // The report of a numbered error before the start window, such as
    // drives that cannot be set up.
    static QString Text(const NumberedError& error);
    // The report of any other failure before the windows run.
    static QString Text(const std::exception& error);

    // Writes the report to standard error, then shows it in a message box
    // and returns when the operator closes it.
    static void Show(const QString& text);
};

}  // namespace velmira
