#include "ui/WindowEvents.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <utility>

namespace velmira {

WindowEvents::WindowEvents(std::function<void()> beforeHandling)
    : beforeHandling_(std::move(beforeHandling)),
      dispatcher_(QAbstractEventDispatcher::instance(QThread::currentThread())) {}

void WindowEvents::HandlePending() {
    if (beforeHandling_) beforeHandling_();
    QCoreApplication::processEvents();
}

void WindowEvents::AwaitAndHandle() {
    if (beforeHandling_) beforeHandling_();
    // Returns once something was handled; a wake-up counts, also one made
    // before the sleep began.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void WindowEvents::Wake() {
    if (dispatcher_ != nullptr) dispatcher_->wakeUp();
}

}  // namespace velmira
