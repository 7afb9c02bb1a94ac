#pragma once

#include <QFont>

namespace velmira {

// The windows' Japanese proportional gothic face at a size in points. The
// size is set in pixels (points x 96 / 72) so that the text keeps the size
// the layout was drawn for whatever the screen's DPI. Where the first face
// is missing, the free faces with the same metrics stand in.
QFont JapaneseFont(double points, bool underline = false);

}  // namespace velmira
