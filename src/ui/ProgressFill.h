#pragma once

#include "commands/BarPacer.h"
#include "ui/RectangleShape.h"

namespace velmira {

// The filled part of the progress bar, inside its frame. Its width is kept
// exactly at once and drawn as BarPacer paces it. Screen readers are offered
// the bar with its value in percent.
class ProgressFill : public RectangleShape {
    Q_OBJECT

  public:
    ProgressFill(TwipsRect twips, QColor fill, const RectangleShape& frame, QWidget* parent);

    void SetFill(float twips);
    int Percent() const { return BarPacer::Percent(WidthTwips(), frame_.WidthTwips()); }

  private:
    const RectangleShape& frame_;
    BarPacer pacer_;
};

}  // namespace velmira
