#include "bench/restore/BoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "bench/restore/Stopwatch.h"

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
    if (onShown) onShown(box->text());
    // Queued: the box's own modal loop must be running before it can end.
    QTimer::singleShot(0, box, [this, guarded = QPointer<QMessageBox>(box)] {
        if (guarded.isNull()) return;
        QAbstractButton* ok = guarded->button(QMessageBox::Ok);
        if (ok == nullptr) ok = guarded->defaultButton();
        if (ok == nullptr) return;
        const QString text = guarded->text();
        ok->click();
        if (onAnswered) onAnswered(text);
    });
    return false;
}

}  // namespace velmira::bench
