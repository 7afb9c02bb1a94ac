#pragma once

#include <QColor>
#include <QWidget>

#include "ui/Twips.h"

namespace velmira {

// A horizontal one-pixel line drawn on its window. It takes no mouse
// events: movement over it belongs to the window beneath.
class LineShape : public QWidget {
  public:
    // From (left, top) to (left + width, top), in twips of the parent; the
    // height is not used.
    LineShape(TwipsRect twips, QColor color, QWidget* parent);

    QColor color() const { return color_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor color_;
};

}  // namespace velmira
