#include "winui/WindowBase.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

#include "commands/CentredRect.h"

namespace velmira {

namespace {

constexpr wchar_t kClassName[] = L"VelmiraRestoreWindow";

void RegisterOnce() {
    static const bool registered = [] {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.style = CS_DBLCLKS;
        type.lpfnWndProc = DefWindowProcW;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        type.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        type.lpszClassName = kClassName;
        return RegisterClassExW(&type) != 0;
    }();
    if (!registered) {
        std::fprintf(stderr, "RegisterClassExW failed: %lu\n", GetLastError());
        std::abort();
    }
}

PixelRect Pixels(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The outer rectangle of a window of `style` around a client area of
// `client`'s size, placed as CreateCentredWindow says.
RECT CentredFrame(HWND owner, const PixelRect& client, DWORD style, DWORD exStyle) {
    RECT rect{0, 0, client.width, client.height};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    monitor.rcWork = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    GetMonitorInfoW(owner != nullptr ? MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                                     : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    RECT around = monitor.rcWork;
    if (owner != nullptr) GetWindowRect(owner, &around);
    const PixelRect placed = CentredRect(rect.right - rect.left, rect.bottom - rect.top,
                                         Pixels(around), Pixels(monitor.rcWork));
    return {placed.left, placed.top, placed.left + placed.width, placed.top + placed.height};
}

}  // namespace

WindowBase::~WindowBase() {
    DestroyOwnWindow();
}

void WindowBase::CreateWindowOf(DWORD exStyle, DWORD style, HWND parent, const RECT& rect,
                                HBRUSH background) {
    RegisterOnce();
    hwnd_ = CreateWindowExW(exStyle, kClassName, L"", style, rect.left, rect.top,
                            rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    if (hwnd_ == nullptr) {
        std::fprintf(stderr, "CreateWindowExW failed: %lu\n", GetLastError());
        std::abort();
    }
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetPropW(hwnd_, L"VelmiraBackground", background);
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowBase::Procedure));
}

void WindowBase::CreateCentredWindow(DWORD exStyle, DWORD style, HWND owner,
                                     const PixelRect& client, HBRUSH background) {
    CreateWindowOf(exStyle, style, owner, CentredFrame(owner, client, style, exStyle), background);
}

void WindowBase::DestroyOwnWindow() {
    if (hwnd_ == nullptr) return;
    const HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    RemovePropW(hwnd, L"VelmiraBackground");
    DestroyWindow(hwnd);
}

LRESULT WindowBase::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT WindowBase::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        const auto brush = static_cast<HBRUSH>(GetPropW(hwnd_, L"VelmiraBackground"));
        if (brush != nullptr) {
            RECT area;
            GetClientRect(hwnd_, &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area, brush);
            return 1;
        }
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "window message %u: %s\n", message, error.what());
    } catch (...) {
        std::fprintf(stderr, "window message %u: unknown failure\n", message);
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace velmira
