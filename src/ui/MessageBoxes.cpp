#include "MessageBoxes.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QSpacerItem>

namespace velmira {

namespace {
const QString kCheckTitle = QStringLiteral("確認");
const QString kErrorTitle = QStringLiteral("エラー");
// Room for the frame's icon and buttons beside a title, in pixels.
constexpr int kFrameButtonsRoom = 150;
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
    if (auto* row = box.findChild<QDialogButtonBox*>()) row->setCenterButtons(true);
    // A box at least as wide as its title needs in the window frame, so that
    // a short message does not cut its title off.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int titleRoom = box.fontMetrics().horizontalAdvance(title) + kFrameButtonsRoom;
        grid->addItem(new QSpacerItem(titleRoom, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    // Only a close button in the frame, which leaves the short titles room.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace velmira
