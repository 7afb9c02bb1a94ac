#pragma once

#include "commands/Message.h"

class QWidget;

namespace velmira {

// The restore window's message boxes: application-modal, a title and no
// icon; OK is the default button.
class MessageBoxes {
  public:
    explicit MessageBoxes(QWidget* parent) : parent_(parent) {}

    // True when the operator chooses OK; Cancel or closing the box is false.
    bool Show(Message message) const;

  private:
    QWidget* parent_;
};

}  // namespace velmira
