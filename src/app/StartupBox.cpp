#include "app/StartupBox.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>
#include <cstdio>

#include "commands/StartupReport.h"

namespace velmira {

void StartupBox::Show(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(StartupReport::Title()), text,
                    QMessageBox::Ok);
    // A path is shown as it is, never read as markup.
    box.setTextFormat(Qt::PlainText);
    // Like the program's other boxes: no pictures on the buttons either.
    for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace velmira
