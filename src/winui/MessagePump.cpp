#include "winui/MessagePump.h"

namespace velmira {

void MessagePump::Dispatch(MSG& message) {
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && IsDialogMessageW(root, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void MessagePump::HandlePending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

bool MessagePump::RunUntil(const bool& done) {
    MSG message;
    while (!done) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        Dispatch(message);
    }
    return true;
}

namespace {

bool AnyKeyDown() {
    // The keyboard's keys; the mouse buttons below VK_BACK are not keys.
    for (int key = VK_BACK; key <= VK_OEM_CLEAR; ++key) {
        if (GetAsyncKeyState(key) & 0x8000) return true;
    }
    return false;
}

}  // namespace

void MessagePump::WaitForKeysUp(std::chrono::milliseconds most) {
    const auto giveUp = std::chrono::steady_clock::now() + most;
    while (AnyKeyDown() && std::chrono::steady_clock::now() < giveUp) {
        // A release comes as a message to the focused window, which may be
        // another program's: look again at least every few milliseconds.
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        HandlePending();
    }
}

void MessagePump::DiscardInput() {
    MSG message;
    while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

}  // namespace velmira
