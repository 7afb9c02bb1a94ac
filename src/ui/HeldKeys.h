#pragma once

#include <QObject>
#include <chrono>
#include <set>

namespace velmira {

// The keys held down in this program's windows, as their presses and
// releases arrive (Qt has no call that asks the keyboard itself). A key
// released while another program had the keyboard is never seen, so
// losing the keyboard counts as a release of every key.
class HeldKeys : public QObject {
    Q_OBJECT

  public:
    // Watches every event of the application for as long as it lives.
    HeldKeys();
    ~HeldKeys() override;

    bool AnyHeld() const { return !held_.empty(); }
    // Handles events as they arrive until no key is held, or for `most` at
    // the longest.
    void WaitForRelease(std::chrono::milliseconds most);

  signals:
    void AllReleased();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Release(int key);

    std::set<int> held_;
};

}  // namespace velmira
