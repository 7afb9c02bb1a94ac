#include "ui/MessageBoxes.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QMessageBox>
#include <QSpacerItem>

#include "ui/QtText.h"

namespace velmira {

namespace {
// Room for the frame's icon and buttons beside a title, in pixels.
constexpr int kFrameButtonsRoom = 150;
}  // namespace

bool MessageBoxes::Show(Message message) const {
    const MessageText& shown = TextOf(message);
    const QString title = ToQString(shown.title);
    const bool withCancel = shown.withCancel;
    const QString text = ToQString(shown.text);
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
