#include "winui/RectangleShape.h"

namespace velmira {

void RectangleShape::Paint(HDC dc, int dotsPerInch) const {
    const PixelRect at = Pixels(dotsPerInch);
    if (at.width <= 0 || at.height <= 0) return;
    const HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    const HBRUSH brush = fill_ ? CreateSolidBrush(*fill_) : nullptr;
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    const HGDIOBJ oldBrush = SelectObject(
        dc, brush != nullptr ? static_cast<HGDIOBJ>(brush) : GetStockObject(NULL_BRUSH));
    Rectangle(dc, at.left, at.top, at.left + at.width, at.top + at.height);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (brush != nullptr) DeleteObject(brush);
    DeleteObject(pen);
}

}  // namespace velmira
