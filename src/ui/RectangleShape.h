#pragma once

#include <QColor>
#include <QWidget>
#include <optional>

#include "ui/Twips.h"

namespace velmira {

// A rectangle with a thin black outline, hollow or filled. It keeps its
// place and size in twips exactly as set (single precision for the width,
// so the progress arithmetic reads back what it wrote) and draws them
// rounded to pixels. It takes no mouse events.
class RectangleShape : public QWidget {
  public:
    RectangleShape(TwipsRect twips, std::optional<QColor> fill, QWidget* parent);

    float WidthTwips() const { return width_; }
    void SetWidthTwips(float twips);
    std::optional<QColor> fill() const { return fill_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    // Keeps a new width without drawing it yet; Place draws what is kept.
    void KeepWidth(float twips) { width_ = twips; }
    void Place();

  private:
    TwipsRect twips_;
    float width_;
    std::optional<QColor> fill_;
};

}  // namespace velmira
