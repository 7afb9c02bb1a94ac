#include "winui/LineShape.h"

namespace velmira {

void LineShape::Paint(HDC dc, int dotsPerInch) const {
    const PixelRect at = ToPixels(twips_, dotsPerInch);
    const HPEN pen = CreatePen(PS_SOLID, 1, color_);
    const HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, at.left, at.top, nullptr);
    LineTo(dc, at.left + at.width, at.top);
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace velmira
