#pragma once

#include <QApplication>
#include <QIcon>
#include <QString>
#include <QTranslator>
#include <functional>

#include "drives/DriveSource.h"
#include "platform/DriveRoots.h"

namespace velmira {

// The start shared by the program and its demo: the application's settings,
// then the start window, as long as it can be loaded.
class ProgramStart {
  public:
    using Reporter = std::function<void(const QString& text)>;

    // Fixes the Japanese locale (with Qt's own Japanese texts, so that a
    // message box's Cancel reads キャンセル whatever the system's language)
    // and the window icon on `app`. `report` tells the operator why the
    // program cannot start.
    explicit ProgramStart(QApplication& app, Reporter report);

    // Loads the start window over these drives and runs until the last
    // window closes; returns the exit status. When the load fails no window
    // appears: the error is reported and the status is non-zero.
    int Run(const DriveRoots& drives, DriveSource& driveSource);

    // Reports a failure before the start window; returns the exit status.
    int Fail(const QString& report);

    // Whether Qt's Japanese texts were found.
    bool HasJapaneseTexts() const { return hasJapaneseTexts_; }

    static QIcon WindowIcon();

  private:
    QApplication& app_;
    Reporter report_;
    QTranslator qtTexts_;
    bool hasJapaneseTexts_ = false;
};

}  // namespace velmira
