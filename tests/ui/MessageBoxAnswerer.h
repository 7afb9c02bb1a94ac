#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <vector>

namespace velmira::testing {

// What a message box looked like when it was answered.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    Qt::WindowModality modality = Qt::NonModal;
    QString cancelText;  // empty without a Cancel button
};

// Answers message boxes as an operator would: it watches for the active
// modal box and clicks one of its buttons, so the code that shows the box
// runs its real modal loop.
class MessageBoxAnswerer {
  public:
    // Each box gets the next answer; once they are used up, OK.
    explicit MessageBoxAnswerer(std::deque<QMessageBox::StandardButton> answers = {});

    void Answer(std::deque<QMessageBox::StandardButton> answers) { answers_ = std::move(answers); }
    const std::vector<SeenBox>& seen() const { return seen_; }
    // "title: text" of each box answered, in order.
    QStringList Texts() const;
    void Clear() { seen_.clear(); }

  private:
    void Poll();

    std::deque<QMessageBox::StandardButton> answers_;
    std::vector<SeenBox> seen_;
    QPointer<QMessageBox> answered_;
    QTimer timer_;
};

}  // namespace velmira::testing
