#pragma once

#include <QLabel>

namespace velmira {

// An underlined label that serves as a command, like a link: it reports
// clicks and pointer movement over itself, and never takes the keyboard
// focus, so its command is a mouse command only.
class LabelButton : public QLabel {
    Q_OBJECT

  public:
    LabelButton(const QString& text, QWidget* parent);

  signals:
    void clicked();
    void pointerMoved();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

}  // namespace velmira
