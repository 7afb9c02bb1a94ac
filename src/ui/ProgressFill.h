#pragma once

#include "commands/BarPercent.h"
#include "commands/FramePacer.h"
#include "ui/RectangleShape.h"

namespace velmira {

// The filled part of the progress bar, inside its frame. Its width is kept
// exactly at once and drawn no more often than a screen shows
// (FramePacer). Screen readers are offered the bar with its value in
// percent; they hear of a change only when that whole percentage changes,
// not at every file.
class ProgressFill : public RectangleShape {
    Q_OBJECT

  public:
    ProgressFill(TwipsRect twips, QColor fill, const RectangleShape& frame, QWidget* parent);

    void SetFill(float twips);
    int Percent() const { return BarPercent(WidthTwips(), frame_.WidthTwips()); }

  private:
    const RectangleShape& frame_;
    FramePacer pacer_;
};

}  // namespace velmira
