#pragma once

#include <QLabel>

namespace velmira {

// An underlined label that serves as a command, like a link: it reports
// clicks and pointer movement over itself. Tab reaches it (a click does not
// move the focus to it); with the focus it shows a focus rectangle and
// Enter or Space runs its command as a click does.
class LabelButton : public QLabel {
    Q_OBJECT

  public:
    LabelButton(const QString& text, QWidget* parent);

    // Runs the command as a click would.
    void Press() { emit clicked(); }

  signals:
    void clicked();
    void pointerMoved();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    bool pressed_ = false;
};

}  // namespace velmira
