#pragma once

#include "FramePacer.h"
#include "RectangleShape.h"

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
    // The fill's share of the frame: 0 at the bar's 1-twip start, 100 once
    // it covers the frame.
    int Percent() const;

  private:
    const RectangleShape& frame_;
    FramePacer pacer_;
};

}  // namespace velmira
