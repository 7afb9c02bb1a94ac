#include "ui/HeldKeys.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>

namespace velmira {

HeldKeys::HeldKeys() {
    QCoreApplication::instance()->installEventFilter(this);
}

HeldKeys::~HeldKeys() {
    QCoreApplication::instance()->removeEventFilter(this);
}

void HeldKeys::WaitForRelease(std::chrono::milliseconds most) {
    if (!AnyHeld()) return;
    QEventLoop loop;
    connect(this, &HeldKeys::AllReleased, &loop, &QEventLoop::quit);
    QTimer::singleShot(most, &loop, &QEventLoop::quit);
    loop.exec();
}

bool HeldKeys::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat()) held_.insert(key->key());
            break;
        }
        case QEvent::KeyRelease: {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat()) Release(key->key());
            break;
        }
        case QEvent::ApplicationDeactivate:
            while (!held_.empty()) Release(*held_.begin());
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void HeldKeys::Release(int key) {
    if (held_.erase(key) > 0 && held_.empty()) emit AllReleased();
}

}  // namespace velmira
