#include "winui/Panel.h"

namespace velmira {

Panel::Panel(HWND parent, const PixelRect& at, HBRUSH background, bool bordered)
    : parent_(parent), bordered_(bordered) {
    const RECT rect{at.left, at.top, at.left + at.width, at.top + at.height};
    // A control parent: Tab and the arrow keys reach the options inside.
    CreateWindowOf(WS_EX_CONTROLPARENT, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, parent, rect,
                   background);
}

LRESULT Panel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_DRAWITEM:
            return SendMessageW(parent_, message, wParam, lParam);
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(Handle(), &paint);
            if (bordered_) {
                RECT area;
                GetClientRect(Handle(), &area);
                DrawEdge(dc, &area, EDGE_ETCHED, BF_RECT);
            }
            EndPaint(Handle(), &paint);
            return 0;
        }
        default:
            return Default(message, wParam, lParam);
    }
}

}  // namespace velmira
