#pragma once

#include <QString>

namespace velmira {

// Shows a start-up report: writes it to standard error, then shows it in a
// plain message box and returns when the operator closes it.
class StartupBox {
  public:
    static void Show(const QString& text);
};

}  // namespace velmira
