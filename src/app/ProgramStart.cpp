#include "app/ProgramStart.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <cstdio>
#include <exception>
#include <memory>
#include <utility>

#include "commands/StartupReport.h"
#include "ui/MainForm.h"
#include "ui/UiContext.h"

namespace velmira {

ProgramStart::ProgramStart(QApplication& app, Reporter report)
    : app_(app), report_(std::move(report)) {
    QCoreApplication::setApplicationName(QStringLiteral("velmira-restore"));
    QGuiApplication::setDesktopFileName(QStringLiteral("velmira-restore"));
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    hasJapaneseTexts_ = qtTexts_.load(QStringLiteral("qtbase_ja"),
                                      QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (hasJapaneseTexts_) {
        QCoreApplication::installTranslator(&qtTexts_);
    } else {
        std::fprintf(stderr, "qtbase_ja.qm not found in %s: buttons keep Qt's English texts\n",
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath).toUtf8().constData());
    }
    QApplication::setWindowIcon(WindowIcon());
}

QIcon ProgramStart::WindowIcon() {
    return QIcon(QStringLiteral(":/velmira/velmira-restore.xpm"));
}

int ProgramStart::Run(const DriveRoots& drives, DriveSource& driveSource) {
    auto form = std::make_unique<MainForm>(UiContext{drives, driveSource});
    try {
        form->Load();
    } catch (const std::exception&) {
        return Fail(QString::fromStdString(StartupReport::OfCurrent(&drives)));
    }
    form->show();
    return app_.exec();
}

int ProgramStart::Fail(const QString& report) {
    report_(report);
    return StartupReport::kCannotStart;
}

}  // namespace velmira
