#include "StartupReport.h"

#include <QMessageBox>
#include <cstdio>

#include "SitePrefecture.h"

namespace velmira {

QString StartupReport::Title() {
    return QStringLiteral("バックアップデータ復元");
}

QString StartupReport::Text(const NumberedError& error, const DriveRoots& drives) {
    QString text = QStringLiteral("起動できません。\n\nエラー %1: %2\n設定ファイル: %3")
                       .arg(error.code())
                       .arg(QString::fromStdString(error.description()),
                            QString::fromStdString(SettingsFilePath(drives).Display()));
    // The native path (or what else failed), for whoever has to fix it.
    if (!error.detail().empty()) text += "\n(" + QString::fromStdString(error.detail()) + ")";
    return text;
}

QString StartupReport::Text(const std::exception& error) {
    return QStringLiteral("起動できません。\n\n") + QString::fromUtf8(error.what());
}

void StartupReport::Show(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok);
    box.exec();
}

}  // namespace velmira
