#include "bench/restore/FirstPaintApplication.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include "bench/restore/Stopwatch.h"

namespace velmira::bench {

bool FirstPaintApplication::notify(QObject* receiver, QEvent* event) {
    const bool watched = firstPaint_ == 0 && event->type() == QEvent::Paint &&
                         receiver->isWidgetType() &&
                         receiver->objectName() == QStringLiteral("MainForm");
    const bool handled = QApplication::notify(receiver, event);
    if (watched) {
        firstPaint_ = MonotonicNanos();
        QTimer::singleShot(0, this, &QCoreApplication::quit);
    }
    return handled;
}

}  // namespace velmira::bench
