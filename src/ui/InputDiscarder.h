#pragma once

#include <QObject>

namespace velmira {

// Drops the keys and clicks that wait to be processed: the window system's
// queue is emptied with every input event swallowed on its way, while
// painting and timers go on as usual.
class InputDiscarder : public QObject {
  public:
    static void DiscardPending();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace velmira
