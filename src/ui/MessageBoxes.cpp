#include "MessageBoxes.h"

#include <QAbstractButton>
#include <QIcon>
#include <QMessageBox>

namespace velmira {

namespace {
const QString kCheckTitle = QStringLiteral("確認");
const QString kErrorTitle = QStringLiteral("エラー");
}  // namespace

void MessageBoxes::DriveListEmpty() const {
    Show(QStringLiteral("バックアップ機器が接続されていません。\r\nまたは電源が入っていません。"),
         kCheckTitle, false);
}

void MessageBoxes::NoDriveSelected() const {
    Show(QStringLiteral("バックアップドライブを指定してください。"), kCheckTitle, false);
}

bool MessageBoxes::ConfirmStart() const {
    return Show(QStringLiteral("処理を開始します。"), QStringLiteral("復元処理"), true);
}

void MessageBoxes::Finished() const {
    Show(QStringLiteral("終了しました。"), kCheckTitle, false);
}

void MessageBoxes::DeviceUnavailable() const {
    Show(QStringLiteral("ディスクが挿入されていない。または、ディスクが違います。"), kErrorTitle,
         false);
}

void MessageBoxes::RestoreFailed() const {
    Show(QStringLiteral("復元が正常に終了しませんでした。"), kErrorTitle, false);
}

bool MessageBoxes::Show(const QString& text, const QString& title, bool withCancel) const {
    QMessageBox box(QMessageBox::NoIcon, title, text,
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    // Some styles put pictures on standard buttons; these boxes have none.
    for (QAbstractButton* button : box.buttons()) button->setIcon(QIcon());
    box.setDefaultButton(QMessageBox::Ok);
    // Closing the box by its frame or Escape counts as its last choice:
    // Cancel where there is one, otherwise OK.
    box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace velmira
