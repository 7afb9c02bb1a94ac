#include "StartupReport.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>

#include "SitePrefecture.h"

namespace velmira {

namespace {

QString Heading(const NumberedError& error) {
    return QStringLiteral("起動できません。\n\nエラー %1: %2")
        .arg(error.code())
        .arg(QString::fromStdString(error.description()));
}

// The native path (or what else failed), for whoever has to fix it.
QString Detail(const NumberedError& error) {
    if (error.detail().empty()) return {};
    return "\n(" + QString::fromStdString(error.detail()) + ")";
}

}  // namespace

QString StartupReport::Title() {
    return QStringLiteral("バックアップデータ復元");
}

QString StartupReport::Text(const NumberedError& error, const DriveRoots& drives) {
    return Heading(error) + QStringLiteral("\n設定ファイル: ") +
           QString::fromStdString(SettingsFilePath(drives).Display()) + Detail(error);
}

QString StartupReport::Text(const NumberedError& error) {
    return Heading(error) + Detail(error);
}

QString StartupReport::Text(const std::exception& error) {
    return QStringLiteral("起動できません。\n\n") + QString::fromUtf8(error.what());
}

void StartupReport::Show(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok);
    // A path is shown as it is, never read as markup.
    box.setTextFormat(Qt::PlainText);
    // Like the program's other boxes: no pictures on the buttons either.
    for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace velmira
