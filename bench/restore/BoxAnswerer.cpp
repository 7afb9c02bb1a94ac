#include "BoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "Stopwatch.h"

namespace velmira::bench {

BoxAnswerer::BoxAnswerer() {
    qApp->installEventFilter(this);
}

BoxAnswerer::~BoxAnswerer() {
    qApp->removeEventFilter(this);
}

bool BoxAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) return false;
    auto* box = qobject_cast<QMessageBox*>(watched);
    if (box == nullptr) return false;
    seen_.push_back({box->text(), MonotonicNanos()});
    // Queued: the box's own modal loop must be running before it can end.
    QTimer::singleShot(0, box, [guarded = QPointer<QMessageBox>(box)] {
        if (guarded.isNull()) return;
        QAbstractButton* ok = guarded->button(QMessageBox::Ok);
        if (ok == nullptr) ok = guarded->defaultButton();
        if (ok != nullptr) ok->click();
    });
    return false;
}

}  // namespace velmira::bench
